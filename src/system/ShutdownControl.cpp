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

void ShutdownControl::timedCheck(const QDateTime& second) {
    const QTime t = second.time();
    if (settings_.readInteger(settings::kCloseTime, settings::kHour, 0) != t.hour() ||
        settings_.readInteger(settings::kCloseTime, settings::kMinute, 0) != t.minute() ||
        settings_.readInteger(settings::kCloseTime, settings::kSecond, 0) != t.second() ||
        !chk5_.isChecked()) {
        return;
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
