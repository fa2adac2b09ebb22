#include "core/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include "core/AppError.h"

namespace programfolder {

namespace {

// The relative path of `path` inside `folder`, or nothing when it is not inside.
QString inside(const QString& folder, const QString& path) {
    if (folder.isEmpty() || path.isEmpty()) {
        return {};
    }
    const QString relative = QDir(QDir::cleanPath(folder)).relativeFilePath(QDir::cleanPath(path));
    if (relative.isEmpty() || relative == QLatin1String(".") || QDir::isAbsolutePath(relative) ||
        relative == QLatin1String("..") || relative.startsWith(QLatin1String("../"))) {
        return {};
    }
    return relative;
}

}  // namespace

Location locate(const QString& binDir, const QString& dataHome, const QString& home) {
    const QDir bin(binDir);
    const QString shared = QDir::cleanPath(bin.filePath(QStringLiteral("../share/tollvane")));
    if (QFileInfo(binDir).fileName() != QLatin1String("bin") || !QFileInfo(shared).isDir()) {
        return {binDir, {}};
    }
    // The XDG base directory rule: a relative $XDG_DATA_HOME is ignored.
    const QString base = QDir::isAbsolutePath(dataHome)
                             ? dataHome
                             : QDir(home).filePath(QStringLiteral(".local/share"));
    return {QDir(base).filePath(QStringLiteral("Tollvane")), shared};
}

Completed complete(const QString& templateDir, const QString& folder) {
    const QDir target(folder);
    if (!target.mkpath(QStringLiteral("."))) {
        throw AppError(QStringLiteral("无法建立程序文件夹：%1").arg(folder));
    }
    Completed done;
    // System: a dangling link is listed too, so that it is reported rather than passed over.
    QDirIterator it(templateDir,
                    QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo source(it.next());
        const QString relative = QDir(templateDir).relativeFilePath(source.filePath());
        const QString destination = target.filePath(relative);
        const QFileInfo existing(destination);
        if (existing.exists() || existing.isSymLink()) {
            continue;
        }
        const bool ok =
            source.isDir() ? target.mkpath(relative) : QFile::copy(source.filePath(), destination);
        (ok ? done.copied : done.failed) << relative;
        if (ok && source.isFile()) {
            // The template is read-only for the user; the copy is theirs to change.
            QFile::setPermissions(destination, QFile::permissions(destination) |
                                                   QFileDevice::WriteOwner |
                                                   QFileDevice::ReadOwner);
        }
    }
    return done;
}

QString stored(const QString& folder, const QString& chosen) {
    if (const QString relative = inside(folder, chosen); !relative.isEmpty()) {
        return relative;
    }
    // The same folder reached through a link (a home folder on another mount, say).
    const QString realFolder = QFileInfo(folder).canonicalFilePath();
    const QString realChosen = QFileInfo(chosen).canonicalFilePath();
    if (const QString relative = inside(realFolder, realChosen); !relative.isEmpty()) {
        return relative;
    }
    return chosen;
}

QString resolve(const QString& folder, const QString& field) {
    if (field.isEmpty() || QDir::isAbsolutePath(field)) {
        return field;
    }
    return QDir(folder).filePath(field);
}

}  // namespace programfolder
