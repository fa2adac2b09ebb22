#include "calendar/CalendarStore.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <atomic>

#include "core/AppError.h"

namespace calendarstore {

namespace {

std::atomic<int> connections{0};

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS calendar (\"ID\" INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\"类型\" TEXT NOT NULL CHECK (\"类型\" IN ('放假', '调休', '作息切换')), "
    "\"开始\" TEXT NOT NULL, \"结束\" TEXT NOT NULL, "
    "\"按星期\" INTEGER NOT NULL CHECK (\"按星期\" BETWEEN 0 AND 7), "
    "\"运行模式\" TEXT NOT NULL, \"说明\" TEXT NOT NULL)";

// Runs `work` on an open connection to the file, closed again afterwards.
template <typename Work>
void withDatabase(const QString& path, const QString& what, Work work) {
    const QString name = QStringLiteral("tollvane-calendar-%1").arg(++connections);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=200"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            error = work(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty()) {
        throw AppError(QStringLiteral("%1 %2（%3）").arg(what, path, error));
    }
}

}  // namespace

std::vector<CalendarEntry> load(const QString& path) {
    std::vector<CalendarEntry> entries;
    if (!QFileInfo::exists(path)) {
        return entries;
    }
    withDatabase(path, QStringLiteral("无法读取校历"), [&](QSqlDatabase& db) -> QString {
        QSqlQuery query(db);
        // A file whose first save failed holds no table yet: an empty calendar.
        if (!query.exec(QStringLiteral(
                "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'calendar'"))) {
            return query.lastError().text();
        }
        if (!query.next()) {
            return {};
        }
        if (!query.exec(QStringLiteral("SELECT \"类型\", \"开始\", \"结束\", \"按星期\", "
                                       "\"运行模式\", \"说明\" FROM calendar ORDER BY \"开始\", "
                                       "\"ID\""))) {
            return query.lastError().text();
        }
        while (query.next()) {
            CalendarEntry e;
            const auto kind = CalendarEntry::kindFrom(query.value(0).toString());
            if (!kind) {
                continue;
            }
            e.kind = *kind;
            e.from = QDate::fromString(query.value(1).toString(), Qt::ISODate);
            e.to = QDate::fromString(query.value(2).toString(), Qt::ISODate);
            e.weekday = query.value(3).toInt();
            e.runMode = CalendarEntry::runModeFrom(query.value(4).toString());
            e.note = query.value(5).toString();
            entries.push_back(e);
        }
        return {};
    });
    return entries;
}

void save(const QString& path, const std::vector<CalendarEntry>& entries) {
    withDatabase(path, QStringLiteral("无法保存校历"), [&](QSqlDatabase& db) -> QString {
        QSqlQuery query(db);
        if (!db.transaction()) {
            return db.lastError().text();
        }
        bool ok = query.exec(QString::fromUtf8(kSchema)) &&
                  query.exec(QStringLiteral("DELETE FROM calendar"));
        for (const CalendarEntry& e : entries) {
            if (!ok) {
                break;
            }
            ok = query.prepare(QStringLiteral(
                "INSERT INTO calendar (\"类型\", \"开始\", \"结束\", \"按星期\", \"运行模式\", "
                "\"说明\") VALUES (?, ?, ?, ?, ?, ?)"));
            query.addBindValue(CalendarEntry::kindText(e.kind));
            query.addBindValue(e.from.toString(Qt::ISODate));
            query.addBindValue(e.to.toString(Qt::ISODate));
            query.addBindValue(e.weekday);
            query.addBindValue(CalendarEntry::runModeText(e.runMode) + QLatin1String(""));
            query.addBindValue(e.note + QLatin1String(""));  // never NULL
            ok = ok && query.exec();
        }
        if (!ok) {
            const QString why = query.lastError().text();
            db.rollback();
            return why;
        }
        return db.commit() ? QString() : db.lastError().text();
    });
}

}  // namespace calendarstore
