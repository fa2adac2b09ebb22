#pragma once

#include <QDateTime>
#include <optional>

class Dialogs;
class EventLog;
class IniFile;
class Power;
class QCheckBox;

// The daily timed shutdown ("定时关机" with the time in [CloseTime]) and the manual one.
class ShutdownControl {
  public:
    ShutdownControl(Power& power, IniFile& settings, Dialogs& dialogs, EventLog& log,
                    QCheckBox& chk5);

    // The switch changed: remembers it.
    void chk5Click();
    // "关闭计算机": asks, and shuts down on OK.
    void N5Click();
    // The clock's check for one second: the shutdown when the switch is on and the stored time
    // is that second. The time is read afresh, each part only when the ones before it matched.
    void timedCheck(const QDateTime& second);

    // The stored shutdown time while the switch is on.
    std::optional<QTime> scheduledTime() const;

  private:
    void request();

    Power& power_;
    IniFile& settings_;
    Dialogs& dialogs_;
    EventLog& log_;
    QCheckBox& chk5_;
};
