#include "schedule/ScheduleDb.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <atomic>

#include "core/AppError.h"

namespace {

std::atomic<int> connectionCounter{0};

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString schemaSql() {
    using namespace schedule;
    QString sql = QStringLiteral("CREATE TABLE schedule (%1 INTEGER PRIMARY KEY AUTOINCREMENT, ")
                      .arg(quoted(kLeadingField));
    sql += QStringLiteral("%1 INTEGER NOT NULL CHECK (%1 BETWEEN 0 AND 23), ").arg(quoted(kHour));
    sql += QStringLiteral("%1 INTEGER NOT NULL CHECK (%1 BETWEEN 0 AND 59), ").arg(quoted(kMinute));
    sql += QStringLiteral("%1 INTEGER NOT NULL CHECK (%1 BETWEEN 0 AND 59), ").arg(quoted(kSecond));
    sql +=
        QStringLiteral("%1 TEXT NOT NULL, %2 TEXT NOT NULL, ").arg(quoted(kEvent), quoted(kSound));
    for (const QString& day : kDayFields) {
        sql += QStringLiteral("%1 INTEGER NOT NULL CHECK (%1 IN (0, 1)), ").arg(quoted(day));
    }
    sql +=
        QStringLiteral("UNIQUE (%1, %2, %3))").arg(quoted(kHour), quoted(kMinute), quoted(kSecond));
    return sql;
}

QString hmsText(const ScheduleRow& row) {
    return QStringLiteral("%1:%2:%3")
        .arg(row.hour)
        .arg(row.minute, 2, 10, QLatin1Char('0'))
        .arg(row.second, 2, 10, QLatin1Char('0'));
}

// Binds fields 1 to 12 of a row, in table order.
void bindFields(QSqlQuery& query, const ScheduleRow& row) {
    query.addBindValue(row.hour);
    query.addBindValue(row.minute);
    query.addBindValue(row.second);
    query.addBindValue(row.event);
    query.addBindValue(row.sound);
    for (bool day : row.days) {
        query.addBindValue(day ? 1 : 0);
    }
}

QSqlDatabase openConnection(const QString& path, const QString& connection) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(path);
    // A tick must never wait long on a table another program holds.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=200"));
    return db;
}

}  // namespace

void ScheduleDb::create(const QString& path) {
    if (QFileInfo::exists(path)) {
        throw AppError(QStringLiteral("时间表文件已存在：%1").arg(path));
    }
    const QString connection = QStringLiteral("tollvane-create-%1").arg(++connectionCounter);
    QString error;
    {
        QSqlDatabase db = openConnection(path, connection);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            if (!db.transaction() || !query.exec(schemaSql()) ||
                !query.exec(QStringLiteral("PRAGMA user_version = 1")) || !db.commit()) {
                error = query.lastError().text() + db.lastError().text();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (!error.isEmpty()) {
        throw AppError(QStringLiteral("无法创建时间表文件：%1（%2）").arg(path, error.trimmed()));
    }
}

ScheduleDb::ScheduleDb(const QString& path)
    : path_(path), connection_(QStringLiteral("tollvane-table-%1").arg(++connectionCounter)) {
    const QFileInfo info(path);
    if (!info.exists()) {
        QSqlDatabase::removeDatabase(connection_);
        throw AppError(QStringLiteral("时间表文件不存在：%1").arg(path));
    }
    QString failure;
    {
        QSqlDatabase db = openConnection(path, connection_);
        if (!info.isFile()) {
            failure = QStringLiteral("不是有效的时间表文件：%1").arg(path);
        } else if (!db.open()) {
            failure =
                QStringLiteral("无法打开时间表文件：%1（%2）").arg(path, db.lastError().text());
        } else {
            QSqlQuery query(db);
            QStringList columns;
            if (query.exec(QStringLiteral("PRAGMA table_info(schedule)"))) {
                while (query.next()) {
                    columns << query.value(1).toString();
                }
            }
            const QString native = query.lastError().nativeErrorCode();
            if (native == QLatin1String("5") || native == QLatin1String("6")) {
                failure = QStringLiteral("时间表文件被其他程序锁定：%1").arg(path);
            } else if (query.lastError().isValid()) {
                failure = QStringLiteral("不是有效的时间表文件：%1（%2）")
                              .arg(path, query.lastError().text().trimmed());
            } else if (columns != schedule::allFields()) {
                failure = QStringLiteral("不是有效的时间表文件：%1（字段不符）").arg(path);
            } else {
                query.exec(QStringLiteral("PRAGMA synchronous = FULL"));
            }
            if (!failure.isEmpty()) {
                db.close();
            }
        }
    }
    if (!failure.isEmpty()) {
        QSqlDatabase::removeDatabase(connection_);
        throw AppError(failure);
    }
}

ScheduleDb::~ScheduleDb() {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

void ScheduleDb::fail(const QString& what, const QString& detail) const {
    throw AppError(QStringLiteral("%1：%2（%3）").arg(what, path_, detail.trimmed()));
}

void ScheduleDb::execOrFail(QSqlQuery& query, const QString& what) const {
    if (!query.exec()) {
        const QString native = query.lastError().nativeErrorCode();
        if (native == QLatin1String("5") || native == QLatin1String("6")) {
            throw AppError(QStringLiteral("时间表文件被其他程序锁定：%1").arg(path_));
        }
        fail(what, query.lastError().text());
    }
}

std::vector<ScheduleRow> ScheduleDb::rows() const {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(
        QStringLiteral("SELECT * FROM schedule ORDER BY %1, %2, %3")
            .arg(quoted(schedule::kHour), quoted(schedule::kMinute), quoted(schedule::kSecond)));
    execOrFail(query, QStringLiteral("无法读取时间表"));
    std::vector<ScheduleRow> result;
    while (query.next()) {
        ScheduleRow row;
        row.id = query.value(0).toLongLong();
        row.hour = query.value(1).toInt();
        row.minute = query.value(2).toInt();
        row.second = query.value(3).toInt();
        row.event = query.value(4).toString();
        row.sound = query.value(5).toString();
        for (int d = 0; d < 7; ++d) {
            row.days[static_cast<size_t>(d)] = query.value(6 + d).toInt() != 0;
        }
        result.push_back(std::move(row));
    }
    return result;
}

void ScheduleDb::checkRow(const ScheduleRow& row, qint64 exceptId) const {
    if (const QString why = schedule::checkTime(row); !why.isEmpty()) {
        fail(QStringLiteral("无法保存时间表"), why);
    }
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("SELECT %1 FROM schedule WHERE %2 = ? AND %3 = ? AND %4 = ?")
                      .arg(quoted(schedule::kLeadingField), quoted(schedule::kHour),
                           quoted(schedule::kMinute), quoted(schedule::kSecond)));
    query.addBindValue(row.hour);
    query.addBindValue(row.minute);
    query.addBindValue(row.second);
    execOrFail(query, QStringLiteral("无法读取时间表"));
    while (query.next()) {
        if (query.value(0).toLongLong() != exceptId) {
            fail(QStringLiteral("无法保存时间表"), QStringLiteral("%1 已有事件").arg(hmsText(row)));
        }
    }
}

void ScheduleDb::insertRow(const ScheduleRow& row, QSqlQuery& query) const {
    QStringList names;
    QStringList marks;
    for (const QString& field : schedule::allFields().mid(1)) {
        names << quoted(field);
        marks << QStringLiteral("?");
    }
    query.prepare(QStringLiteral("INSERT INTO schedule (%1) VALUES (%2)")
                      .arg(names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    bindFields(query, row);
    execOrFail(query, QStringLiteral("无法保存时间表"));
}

qint64 ScheduleDb::insert(const ScheduleRow& row) {
    checkRow(row, -1);
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    insertRow(row, query);
    return query.lastInsertId().toLongLong();
}

void ScheduleDb::update(const ScheduleRow& row) {
    checkRow(row, row.id);
    QStringList sets;
    for (const QString& field : schedule::allFields().mid(1)) {
        sets << quoted(field) + QStringLiteral(" = ?");
    }
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("UPDATE schedule SET %1 WHERE %2 = ?")
                      .arg(sets.join(QLatin1Char(',')), quoted(schedule::kLeadingField)));
    bindFields(query, row);
    query.addBindValue(row.id);
    execOrFail(query, QStringLiteral("无法保存时间表"));
    requireOneRow(query);
}

void ScheduleDb::requireOneRow(const QSqlQuery& query) const {
    if (query.numRowsAffected() != 1) {
        throw RowGoneError(QStringLiteral("时间表 %1 已被其他程序修改，要修改的事件已不在表中。"
                                          "时间表已重新读取，请重新操作")
                               .arg(QDir::toNativeSeparators(path_)));
    }
}

void ScheduleDb::remove(qint64 id) {
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(
        QStringLiteral("DELETE FROM schedule WHERE %1 = ?").arg(quoted(schedule::kLeadingField)));
    query.addBindValue(id);
    execOrFail(query, QStringLiteral("无法删除事件"));
    requireOneRow(query);
}

void ScheduleDb::removeAll() {
    replaceAll({});
}

void ScheduleDb::replaceAll(const std::vector<ScheduleRow>& rows) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    for (const ScheduleRow& row : rows) {
        if (const QString why = schedule::checkTime(row); !why.isEmpty()) {
            fail(QStringLiteral("无法保存时间表"), why);
        }
    }
    if (!db.transaction()) {
        fail(QStringLiteral("无法保存时间表"), db.lastError().text());
    }
    try {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("DELETE FROM schedule"));
        execOrFail(query, QStringLiteral("无法清空时间表"));
        for (const ScheduleRow& row : rows) {
            QSqlQuery insert(db);
            insertRow(row, insert);
        }
        if (!db.commit()) {
            fail(QStringLiteral("无法保存时间表"), db.lastError().text());
        }
    } catch (...) {
        db.rollback();
        throw;
    }
}
