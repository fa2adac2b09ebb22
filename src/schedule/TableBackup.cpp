#include "schedule/TableBackup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/AppError.h"

namespace schedule {

QString backupTable(const QString& file, const QDateTime& at, int keep) {
    const QFileInfo info(file);
    QDir folder(info.dir().filePath(QStringLiteral("backup")));
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString copy = folder.filePath(base + at.toString(QStringLiteral("-yyyyMMdd-HHmmss")) + suffix);
    for (int n = 2; QFile::exists(copy); ++n) {  // two clears within one second
        copy = folder.filePath(base + at.toString(QStringLiteral("-yyyyMMdd-HHmmss")) +
                               QStringLiteral("-%1").arg(n) + suffix);
    }
    if (!QDir().mkpath(folder.path()) || !QFile::copy(file, copy)) {
        throw AppError(
            QStringLiteral("无法备份时间表 %1 到 %2，时间表没有清空")
                .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(folder.path())));
    }
    // The names sort by time; the oldest copies beyond `keep` go.
    const QStringList copies = folder.entryList({base + QStringLiteral("-*") + suffix}, QDir::Files,
                                                QDir::Name | QDir::Reversed);
    for (qsizetype i = keep; i < copies.size(); ++i) {
        QFile::remove(folder.filePath(copies[i]));
    }
    return copy;
}

}  // namespace schedule
