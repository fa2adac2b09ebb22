#pragma once

#include <QDateTime>
#include <functional>
#include <optional>

class Dialogs;
class EventLog;
class IniFile;
class Power;
class QCheckBox;

// The daily timed shutdown ("定时关机" with the time in [CloseTime]) and the manual one. From a
// minute before the set time a countdown is shown (through `warn`), which the person at the PC
// can cancel for the day or cut short; with nobody there the PC goes off at the set time.
class ShutdownControl {
  public:
    ShutdownControl(Power& power, IniFile& settings, Dialogs& dialogs, EventLog& log,
                    QCheckBox& chk5);

    // The switch changed: remembers it.
    void chk5Click();
    // "关闭计算机": asks, and shuts down on OK.
    void N5Click();
    // The clock's check for one second: the shutdown when the switch is on and the stored time
    // is that second. The time is read afresh at every check while the switch is on.
    void timedCheck(const QDateTime& second);

    // The stored shutdown time while the switch is on.
    std::optional<QTime> scheduledTime() const;

    // "取消关机": no timed shutdown at the coming set time; the next day's stands.
    void cancelComing();
    // "立即关机": the coming shutdown at once.
    void shutDownNow();

    static constexpr int kWarningSeconds = 60;
    // Shows or updates the countdown: seconds to the shutdown, 1 to kWarningSeconds.
    std::function<void(int secondsLeft)> warn;
    // Takes the countdown away (shut down, cancelled, or the switch or time changed).
    std::function<void()> endWarning;

  private:
    void request();
    // The countdown for the second: shown while the next set time is at most a minute away and
    // not cancelled, otherwise taken away.
    void countdown(const QDateTime& second, const std::optional<QTime>& at);
    void stopWarning();

    Power& power_;
    IniFile& settings_;
    Dialogs& dialogs_;
    EventLog& log_;
    QCheckBox& chk5_;
    QDateTime coming_;     // the shutdown the countdown shows
    QDateTime cancelled_;  // the shutdown the user cancelled
    bool warning_ = false;
};
