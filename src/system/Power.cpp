#include "system/Power.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusError>
#include <QDBusInterface>
#include <QDBusReply>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>
#include <memory>

void SystemPower::powerOff(std::function<void(const QString&)> done) {
    const QString command = qEnvironmentVariable("TOLLVANE_SHUTDOWN_COMMAND");
    if (command.isEmpty()) {
        done(logindPowerOff());
        return;
    }
    // Waited for on the event loop, so the clock and the bells go on meanwhile.
    auto* process = new QProcess(QCoreApplication::instance());
    auto finish = std::make_shared<std::function<void(const QString&)>>(
        [process, done = std::move(done)](const QString& refusal) mutable {
            if (done) {
                auto once = std::move(done);
                done = nullptr;
                process->deleteLater();
                once(refusal);
            }
        });
    const QString name = QStringLiteral("TOLLVANE_SHUTDOWN_COMMAND");
    QObject::connect(process, &QProcess::finished, process,
                     [finish, name](int code, QProcess::ExitStatus status) {
                         (*finish)(status == QProcess::CrashExit
                                       ? name + QStringLiteral(" 异常结束")
                                   : code != 0 ? name + QStringLiteral(" 的退出状态为 %1").arg(code)
                                               : QString());
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [finish, name](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             (*finish)(QStringLiteral("无法运行 ") + name);
                         }
                     });
    QTimer::singleShot(commandMs_, process, [process, finish, name, ms = commandMs_] {
        process->kill();
        (*finish)(name + QStringLiteral(" 在 %1 秒内没有结束").arg(ms / 1000.0));
    });
    process->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
}

QString SystemPower::logindPowerOff() {
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
