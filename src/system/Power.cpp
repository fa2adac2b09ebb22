#include "system/Power.h"

#include <QCursor>
#include <QDBusError>
#include <QDBusInterface>
#include <QDBusReply>
#include <QGuiApplication>
#include <QProcess>

QString SystemPower::powerOff() {
    const QString command = qEnvironmentVariable("TOLLVANE_SHUTDOWN_COMMAND");
    if (!command.isEmpty()) {
        return QProcess::startDetached(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command})
                   ? QString()
                   : QStringLiteral("无法运行 TOLLVANE_SHUTDOWN_COMMAND");
    }
    QDBusInterface logind(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    if (!logind.isValid()) {
        return QStringLiteral("systemd-logind 无法连接：") + logind.lastError().message();
    }
    logind.setTimeout(3000);  // never holds the clock for long
    const QDBusReply<QString> may = logind.call(QStringLiteral("CanPowerOff"));
    if (!may.isValid()) {
        return QStringLiteral("systemd-logind 没有回答：") + may.error().message();
    }
    if (may.value() != QLatin1String("yes")) {
        return QStringLiteral("systemd-logind 不允许关机（CanPowerOff=%1）").arg(may.value());
    }
    const QDBusMessage reply = logind.call(QStringLiteral("PowerOff"), false);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        return QStringLiteral("systemd-logind 拒绝关机：") + reply.errorMessage();
    }
    return {};
}

void SystemPower::parkPointer() {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QCursor::setPos(0, 0);
    }
}
