#include "system/XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/AppError.h"
#include "system/DesktopEntry.h"

namespace {

QString readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString firstOf(const QByteArray& list, const QString& fallback) {
    const QString first = QString::fromLocal8Bit(list).section(QLatin1Char(':'), 0, 0);
    return first.isEmpty() ? fallback : first;
}

}  // namespace

XdgAutostart::XdgAutostart(QString systemFolder, QString userFolder)
    : system_(std::move(systemFolder)), user_(std::move(userFolder)) {}

XdgAutostart XdgAutostart::fromEnvironment() {
    const QString configDirs = firstOf(qgetenv("XDG_CONFIG_DIRS"), QStringLiteral("/etc/xdg"));
    const QString configHome =
        firstOf(qgetenv("XDG_CONFIG_HOME"), QDir::homePath() + QStringLiteral("/.config"));
    return XdgAutostart(configDirs + QStringLiteral("/autostart"),
                        configHome + QStringLiteral("/autostart"));
}

QString XdgAutostart::systemEntry() const {
    return QDir(system_).filePath(QString::fromLatin1(kFileName));
}

QString XdgAutostart::userEntry() const {
    return QDir(user_).filePath(QString::fromLatin1(kFileName));
}

QString XdgAutostart::enable(const QString& content) {
    if (desktopentry::writeIfDifferent(systemEntry(), content)) {
        // A user-level entry of the same name would override it: one that differs (another
        // path, or one that switches it off) goes, or failing that becomes the same entry.
        if (QFile::exists(userEntry()) && readAll(userEntry()) != content &&
            !QFile::remove(userEntry()) && !desktopentry::writeIfDifferent(userEntry(), content)) {
            throw AppError(QStringLiteral("无法替换 %1").arg(userEntry()));
        }
        return systemEntry();
    }
    if (desktopentry::writeIfDifferent(userEntry(), content)) {
        return userEntry();
    }
    throw AppError(QStringLiteral("无法写入 %1 或 %2").arg(systemEntry(), userEntry()));
}

QStringList XdgAutostart::disable() {
    QStringList gone;
    for (const QString& entry : {userEntry(), systemEntry()}) {
        if (QFile::exists(entry) && QFile::remove(entry)) {
            gone << entry;
        }
    }
    if (QFile::exists(systemEntry()) &&
        desktopentry::writeIfDifferent(userEntry(),
                                       QStringLiteral("[Desktop Entry]\nType=Application\n"
                                                      "Name=Tollvane\nHidden=true\n"))) {
        gone << userEntry();
    }
    return gone;
}
