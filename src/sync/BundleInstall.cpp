#include "sync/BundleInstall.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "calendar/CalendarStore.h"
#include "core/AppError.h"
#include "core/NativePath.h"
#include "schedule/ScheduleDb.h"
#include "schedule/TableBackup.h"
#include "table/CalendarCsv.h"
#include "table/TableCsv.h"

namespace bundle {

namespace {

const QString kCalendarCsv = QStringLiteral("calendar.csv");
const QString kFiles = QStringLiteral("files/");

QString csvOf(const QString& table) {
    return QStringLiteral("tables/") +
           QString(table).replace(QLatin1String(".dat"), QLatin1String(".csv"));
}

QByteArray sha256Of(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result().toHex();
}

std::optional<QString> readText(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return QString::fromUtf8(f.readAll());
}

bool sameRows(const std::vector<ScheduleRow>& a, std::vector<ScheduleRow> b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        b[i].id = a[i].id;  // the stored ids are the PC's own
        if (!(a[i] == b[i])) {
            return false;
        }
    }
    return true;
}

// Copied beside the target and renamed, so a sound being played is never half replaced.
void copyInto(const QString& from, const QString& to) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part) ||
        ::rename(nativepath::encode(part).constData(), nativepath::encode(to).constData()) != 0) {
        QFile::remove(part);
        throw AppError(QStringLiteral("无法写入声音文件：") + to);
    }
}

}  // namespace

std::optional<QString> refusal(const Manifest& manifest) {
    qint64 total = 0;
    QStringList paths;
    for (const File& f : manifest.files) {
        total += f.size;
        paths << f.path;
    }
    if (total > kMaxBytes) {
        return QStringLiteral("更新包有 %1 MB，超过 %2 MB").arg(total >> 20).arg(kMaxBytes >> 20);
    }
    for (const QString& table : schedule::kTableNames) {
        if (!paths.contains(csvOf(table))) {
            return QStringLiteral("更新包里没有时间表 ") + csvOf(table);
        }
    }
    if (!paths.contains(kCalendarCsv)) {
        return QStringLiteral("更新包里没有校历 ") + kCalendarCsv;
    }
    return std::nullopt;
}

bool fetchFromFolder(const QString& source, const Manifest& manifest, const QString& staged,
                     QString* why) {
    const QDir version(QDir(source).filePath(manifest.version));
    for (const File& f : manifest.files) {
        const QFileInfo from(version.filePath(f.path));
        if (from.isSymLink() || !from.isFile()) {
            *why = QStringLiteral("更新包里缺少文件或不是普通文件：") + f.path;
            return false;
        }
        if (from.size() != f.size) {
            *why = QStringLiteral("更新包里的文件大小与清单不符：") + f.path;
            return false;
        }
        const QString to = QDir(staged).filePath(f.path);
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::remove(to);
        if (!QFile::copy(from.filePath(), to)) {
            *why = QStringLiteral("无法取得文件：") + f.path;
            return false;
        }
    }
    return true;
}

QStringList reuseLocal(const QString& programFolder, const Manifest& manifest,
                       const QString& staged) {
    QStringList toFetch;
    for (const File& f : manifest.files) {
        const QString local = QDir(programFolder).filePath(f.path.mid(kFiles.size()));
        if (f.path.startsWith(kFiles) && nativepath::isFile(local) &&
            QFileInfo(local).size() == f.size && sha256Of(local) == f.sha256) {
            const QString to = QDir(staged).filePath(f.path);
            QDir().mkpath(QFileInfo(to).absolutePath());
            if (QFile::copy(local, to)) {
                continue;
            }
        }
        toFetch << f.path;
    }
    return toFetch;
}

std::optional<Checked> check(const QString& staged, const Manifest& manifest, QString* why) {
    const auto refuse = [why](const QString& text) {
        *why = text;
        return std::nullopt;
    };
    if (const auto r = refusal(manifest)) {
        return refuse(*r);
    }
    for (const File& f : manifest.files) {
        const QFileInfo file(QDir(staged).filePath(f.path));
        if (file.isSymLink() || !file.isFile() || file.size() != f.size) {
            return refuse(QStringLiteral("文件与清单不符：") + f.path);
        }
        if (sha256Of(file.filePath()) != f.sha256) {
            return refuse(QStringLiteral("文件的 SHA-256 与清单不符：") + f.path);
        }
    }
    Checked checked;
    for (const QString& table : schedule::kTableNames) {
        const tablecsv::Parsed parsed =
            tablecsv::read(readText(QDir(staged).filePath(csvOf(table))).value_or(QString()));
        if (!parsed.errors.isEmpty()) {
            return refuse(csvOf(table) + QStringLiteral(" ") + parsed.errors.front());
        }
        checked.tables[table] = parsed.rows;
    }
    const calendarcsv::Parsed calendar =
        calendarcsv::read(readText(QDir(staged).filePath(kCalendarCsv)).value_or(QString()));
    if (!calendar.errors.isEmpty()) {
        return refuse(kCalendarCsv + QStringLiteral(" ") + calendar.errors.front());
    }
    checked.calendar = calendar.entries;
    return checked;
}

QStringList install(const QString& programFolder, const QString& staged, const Manifest& manifest,
                    const Checked& checked, const QDateTime& now) {
    const QDir program(programFolder);
    QStringList changed;
    int sounds = 0;
    for (const File& f : manifest.files) {
        if (!f.path.startsWith(kFiles)) {
            continue;
        }
        const QString target = program.filePath(f.path.mid(kFiles.size()));
        if (!nativepath::isFile(target) || QFileInfo(target).size() != f.size ||
            sha256Of(target) != f.sha256) {
            copyInto(QDir(staged).filePath(f.path), target);
            ++sounds;
        }
    }
    for (const auto& [table, rows] : checked.tables) {
        const QString file = program.filePath(QStringLiteral("Data/") + table);
        if (nativepath::isFile(file)) {
            if (sameRows(ScheduleDb(file).rows(), rows)) {
                continue;
            }
            schedule::backupTable(file, now);
        } else {
            ScheduleDb::create(file);
        }
        ScheduleDb(file).replaceAll(rows);
        changed << table;
    }
    const QString calendar = program.filePath(QStringLiteral("Data/calendar.dat"));
    const bool had = nativepath::isFile(calendar);
    // A missing calendar is an empty one.
    if (had ? calendarstore::load(calendar) != checked.calendar : !checked.calendar.empty()) {
        if (had) {
            schedule::backupTable(calendar, now);
        }
        calendarstore::save(calendar, checked.calendar);
        changed << QStringLiteral("calendar.dat");
    }
    if (sounds > 0) {
        changed << QStringLiteral("%1 个声音文件").arg(sounds);
    }
    return changed;
}

}  // namespace bundle
