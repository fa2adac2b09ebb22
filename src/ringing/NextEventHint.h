#pragma once

#include <QString>

class Clock;
class QLabel;
class ScheduleTable;

// The hint line: names the next event (and moves the working table's current row onto it), or
// says that the last event has passed.
class NextEventHint {
  public:
    NextEventHint(ScheduleTable& table, const Clock& clock, QLabel& lbl9);

    // From the first row, the first row later than the clock (strictly); weekdays not looked at.
    void ShowHintByClock();
    // From the row that has just rung, the next row that rings today.
    void ShowHintAfterRing();
    // Names the current row again (after a countdown that ended without a ring).
    void ShowHintForCurrent();

    static QString rowText(int hour, int minute, int second, const QString& event);
    static QString lastEventText();

  private:
    ScheduleTable& table_;
    const Clock& clock_;
    QLabel& lbl9_;
};
