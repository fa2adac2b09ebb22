#include "system/Power.h"

#include <QCursor>
#include <QDBusInterface>
#include <QDBusReply>
#include <QGuiApplication>
#include <QProcess>

void SystemPower::powerOff() {
    const QString command = qEnvironmentVariable("TOLLVANE_SHUTDOWN_COMMAND");
    if (!command.isEmpty()) {
        QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
        return;
    }
    QDBusInterface logind(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    if (!logind.isValid()) {
        return;
    }
    const QDBusReply<QString> may = logind.call(QStringLiteral("CanPowerOff"));
    if (may.isValid() && may.value() == QLatin1String("yes")) {
        logind.call(QDBus::NoBlock, QStringLiteral("PowerOff"), false);
    }
}

void SystemPower::parkPointer() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QCursor::setPos(0, 0);
    }
}
