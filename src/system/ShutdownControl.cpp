#include "system/ShutdownControl.h"

#include <QCheckBox>

#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "core/IniFile.h"
#include "core/SettingsKeys.h"
#include "system/Power.h"

ShutdownControl::ShutdownControl(Power& power, IniFile& settings, Dialogs& dialogs, EventLog& log,
                                 QCheckBox& chk5)
    : power_(power), settings_(settings), dialogs_(dialogs), log_(log), chk5_(chk5) {}

void ShutdownControl::chk5Click() {
    settings_.writeInteger(settings::kSet, settings::kAutoClose, chk5_.isChecked() ? 1 : 0);
}

void ShutdownControl::request() {
    // Written down as what happened, once it is known: sent and accepted, or refused and why.
    power_.powerOff([this](const QString& refusal) {
        if (refusal.isEmpty()) {
            log_.write(QStringLiteral("shutdown-request"));
        } else {
            log_.write(QStringLiteral("shutdown-refused"), refusal);
        }
    });
}

void ShutdownControl::N5Click() {
    if (dialogs_.question(QStringLiteral("确定立即关闭计算机吗？"))) {
        request();
    }
}

void ShutdownControl::countdown(const QDateTime& second, const std::optional<QTime>& at) {
    if (!at) {
        stopWarning();
        return;
    }
    QDateTime next = second;  // same date and time zone, at the set time
    next.setTime(*at);
    if (next < second) {
        next = next.addDays(1);  // 23:59:30 counts down to a shutdown at 00:00:00
    }
    const qint64 left = second.secsTo(next);
    if (left < 1 || left > kWarningSeconds || next == cancelled_) {
        stopWarning();
        return;
    }
    coming_ = next;
    warning_ = true;
    if (warn) {
        warn(static_cast<int>(left));
    }
}

void ShutdownControl::stopWarning() {
    if (warning_ && endWarning) {
        endWarning();
    }
    warning_ = false;
}

void ShutdownControl::cancelComing() {
    if (!warning_) {
        return;
    }
    cancelled_ = coming_;
    stopWarning();
    log_.write(QStringLiteral("shutdown-cancelled"),
               cancelled_.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void ShutdownControl::shutDownNow() {
    if (!warning_) {
        return;
    }
    cancelled_ = coming_;  // requested now, so not once more at the set time
    stopWarning();
    power_.parkPointer();
    request();
}

void ShutdownControl::timedCheck(const QDateTime& second) {
    // One reading of the stored time (a whole read of config.ini for each key) serves both the
    // countdown and the shutdown; with the switch off nothing is read.
    const std::optional<QTime> at = scheduledTime();
    countdown(second, at);
    const QTime t = second.time();
    if (!at || *at != QTime(t.hour(), t.minute(), t.second())) {
        return;
    }
    QDateTime due = second;
    due.setTime(*at);
    if (due == cancelled_) {
        return;  // cancelled from the countdown
    }
    power_.parkPointer();
    request();
}

std::optional<QTime> ShutdownControl::scheduledTime() const {
    if (!chk5_.isChecked()) {
        return std::nullopt;
    }
    const QTime at(settings_.readInteger(settings::kCloseTime, settings::kHour, 0),
                   settings_.readInteger(settings::kCloseTime, settings::kMinute, 0),
                   settings_.readInteger(settings::kCloseTime, settings::kSecond, 0));
    return at.isValid() ? std::optional<QTime>(at) : std::nullopt;
}
