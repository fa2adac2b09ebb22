#include "Bundle.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTime>

#include "CalendarCsv.h"
#include "TableCsv.h"
#include "calendar/CalendarStore.h"
#include "core/AppError.h"
#include "core/NativePath.h"
#include "core/ProgramFolder.h"
#include "schedule/ScheduleDb.h"
#include "schedule/ScheduleRow.h"

namespace bundle {

namespace {

QByteArray sha256Of(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        throw AppError(QStringLiteral("无法读取：%1（%2）").arg(path, f.errorString()));
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result().toHex();
}

// The version stamp: the UTC time to the millisecond, which also sorts as the versions do.
QString newVersion(const QString& out) {
    QString version =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz'Z'"));
    while (QFileInfo::exists(QDir(out).filePath(version))) {
        version += QLatin1Char('x');  // two publications within a millisecond
    }
    return version;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        throw AppError(QStringLiteral("无法写入：%1（%2）").arg(path, f.errorString()));
    }
}

void copyFile(const QString& from, const QString& to) {
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    if (!QFile::copy(from, to)) {
        throw AppError(QStringLiteral("无法复制：%1 到 %2").arg(from, to));
    }
}

// The path of a sound inside the program folder, relative to it; empty when it lies outside.
QString inside(const QString& folder, const QString& file) {
    const QString relative = QDir(folder).relativeFilePath(QFileInfo(file).absoluteFilePath());
    return safePath(relative) ? relative : QString();
}

}  // namespace

Published publish(const QString& programFolderGiven, const QString& outGiven) {
    // Absolute, so every path listed is relative to the version's folder whatever the caller's.
    const QString programFolder = QDir(programFolderGiven).absolutePath();
    const QString out = QDir(outGiven).absolutePath();
    if (!QDir().mkpath(out)) {
        throw AppError(QStringLiteral("无法建立文件夹：") + out);
    }
    Published result;
    result.version = newVersion(out);
    const QDir versionDir(QDir(out).filePath(result.version));
    const QDir program(programFolder);
    QStringList sounds;  // relative to the program folder
    for (const QString& name : schedule::kTableNames) {
        const QString table = program.filePath(QStringLiteral("Data/") + name);
        if (!nativepath::isFile(table)) {
            throw AppError(QStringLiteral("程序文件夹里没有时间表：") + table);
        }
        const std::vector<ScheduleRow> rows = ScheduleDb(table).rows();
        const QString csv = QStringLiteral("tables/") +
                            QString(name).replace(QLatin1String(".dat"), QLatin1String(".csv"));
        writeFile(versionDir.filePath(csv), tablecsv::write(rows).toUtf8());
        for (const ScheduleRow& row : rows) {
            if (row.sound.isEmpty() || row.sound == schedule::kRandomMusic) {
                continue;
            }
            const QString file = programfolder::resolve(programFolder, row.sound);
            const QString relative = inside(programFolder, file);
            if (relative.isEmpty()) {
                const QString at =
                    QTime(row.hour, row.minute, row.second).toString(QStringLiteral("HH:mm:ss"));
                result.warnings << QStringLiteral(
                                       "%1 %2 %3 的声音文件在程序文件夹以外，其他电脑上没有：%4")
                                       .arg(name, at, row.event, row.sound);
            } else if (!nativepath::isFile(file)) {
                result.warnings
                    << QStringLiteral("%1 %2 的声音文件不存在：%3").arg(name, row.event, row.sound);
            } else if (!sounds.contains(relative)) {
                sounds << relative;
            }
        }
    }
    const QString calendar = program.filePath(QStringLiteral("Data/calendar.dat"));
    writeFile(versionDir.filePath(QStringLiteral("calendar.csv")),
              calendarcsv::write(nativepath::isFile(calendar) ? calendarstore::load(calendar)
                                                              : std::vector<CalendarEntry>{})
                  .toUtf8());
    QDirIterator tunes(program.filePath(schedule::kRandomMusic), QDir::Files,
                       QDirIterator::Subdirectories);
    while (tunes.hasNext()) {
        const QString relative = inside(programFolder, tunes.next());
        if (!relative.isEmpty() && !sounds.contains(relative)) {
            sounds << relative;
        }
    }
    sounds.sort();
    for (const QString& relative : sounds) {
        copyFile(program.filePath(relative),
                 versionDir.filePath(QStringLiteral("files/") + relative));
    }
    // Listed from what was written, so the manifest says exactly what the folder holds.
    QDirIterator written(versionDir.path(), QDir::Files, QDirIterator::Subdirectories);
    while (written.hasNext()) {
        const QString path = written.next();
        result.files.push_back(
            File{versionDir.relativeFilePath(path), QFileInfo(path).size(), sha256Of(path)});
    }
    std::sort(result.files.begin(), result.files.end(),
              [](const File& a, const File& b) { return a.path < b.path; });
    QString previous;
    QString why;
    QFile current(QDir(out).filePath(kManifest));
    if (current.open(QIODevice::ReadOnly)) {
        if (const auto old = fromJson(current.readAll(), &why)) {
            previous = old->version;
        }
        current.close();
    }
    writeFile(QDir(out).filePath(kManifest), toJson(Manifest{result.version, result.files}));
    // Versions older than the one just replaced: no reader starts on them any more.
    static const QRegularExpression versionName(QStringLiteral("^\\d{8}T\\d{9}Zx*$"));
    for (const QString& name : QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (versionName.match(name).hasMatch() && name != result.version && name != previous &&
            name < result.version) {
            QDir(QDir(out).filePath(name)).removeRecursively();
        }
    }
    return result;
}

}  // namespace bundle
