#include "system/ShutdownControl.h"

#include <QCheckBox>
#include <QCursor>
#include <QGuiApplication>

#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "core/IniFile.h"
#include "system/Power.h"

namespace {
const QString kCloseTime = QStringLiteral("CloseTime");
}

ShutdownControl::ShutdownControl(Power& power, IniFile& settings, Dialogs& dialogs, EventLog& log,
                                 QCheckBox& chk5)
    : power_(power), settings_(settings), dialogs_(dialogs), log_(log), chk5_(chk5) {}

void ShutdownControl::chk5Click() {
    settings_.writeInteger(QStringLiteral("Set"), QStringLiteral("AutoClose"),
                           chk5_.isChecked() ? 1 : 0);
}

void ShutdownControl::request() {
    log_.write(QStringLiteral("shutdown-request"));
    power_.powerOff();
}

void ShutdownControl::N5Click() {
    if (dialogs_.question(QStringLiteral("确定立即关闭计算机吗？"))) {
        request();
    }
}

void ShutdownControl::timedCheck(const QDateTime& second) {
    const QTime t = second.time();
    if (settings_.readInteger(kCloseTime, QStringLiteral("Hour"), 0) != t.hour() ||
        settings_.readInteger(kCloseTime, QStringLiteral("Minute"), 0) != t.minute() ||
        settings_.readInteger(kCloseTime, QStringLiteral("Second"), 0) != t.second() ||
        !chk5_.isChecked()) {
        return;
    }
    // The pointer goes to the corner first, where the platform lets a program move it.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QCursor::setPos(0, 0);
    }
    request();
}
