#include "system/StartWithSession.h"

#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "core/IniFile.h"
#include "core/SettingsKeys.h"
#include "system/DesktopEntry.h"
#include "system/XdgAutostart.h"

StartWithSession::StartWithSession(XdgAutostart& autostart, IniFile& settings, Dialogs& dialogs,
                                   EventLog& log, QString program, QString icon)
    : autostart_(autostart),
      settings_(settings),
      dialogs_(dialogs),
      log_(log),
      program_(std::move(program)),
      icon_(std::move(icon)) {}

QString StartWithSession::enableFailedText() {
    return QStringLiteral("加载自启动程序失败！");
}

QString StartWithSession::disableFailedText() {
    return QStringLiteral("卸载自启动程序失败！");
}

QString StartWithSession::unsafePathText(const QString& characters) {
    QStringList quoted;
    for (const QChar c : characters) {
        quoted << QStringLiteral("“%1”").arg(c);
    }
    return QStringLiteral(
               "程序所在文件夹的路径含有字符 %1，用 systemd 启动桌面程序的会话可能无法"
               "自动启动本程序。请把程序文件夹移到路径中没有这些字符的地方，再勾选"
               "“自动启动”。")
        .arg(quoted.join(QStringLiteral("、")));
}

void StartWithSession::chk2Click(bool checked) {
    if (checked) {
        try {
            const QString entry =
                autostart_.enable(desktopentry::content(program_, icon_, /*autostart=*/true));
            settings_.writeInteger(settings::kSet, settings::kAutoRun, 1);
            log_.write(QStringLiteral("autostart-on"), entry);
        } catch (const AppError& error) {
            log_.write(QStringLiteral("autostart-failed"), error.text());
            dialogs_.message(enableFailedText());
            return;
        }
        const QString unsafe = desktopentry::charactersSystemdCannotStart(program_);
        if (!unsafe.isEmpty()) {
            log_.write(QStringLiteral("autostart-warning"), unsafe);
            dialogs_.notice(unsafePathText(unsafe));
        }
        return;
    }
    const QStringList gone = autostart_.disable();
    try {
        settings_.writeInteger(settings::kSet, settings::kAutoRun, 0);
    } catch (const AppError& error) {
        log_.write(QStringLiteral("autostart-failed"), error.text());
        dialogs_.message(disableFailedText());
        return;
    }
    log_.write(QStringLiteral("autostart-off"), gone.join(QLatin1Char(' ')));
}

void StartWithSession::writeMenuEntry(const QString& path) {
    // A read-only program folder simply has no menu entry.
    desktopentry::writeIfDifferent(path, desktopentry::content(program_, icon_, false));
}
