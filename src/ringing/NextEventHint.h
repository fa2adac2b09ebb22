#pragma once

#include <QString>

class Clock;
class BellState;
class SchoolCalendar;
class ScheduleTable;

// The hint line's next event: names it (and moves the working table's current row onto it), or
// says that the last event has passed.
class NextEventHint {
  public:
    NextEventHint(ScheduleTable& table, const Clock& clock, const SchoolCalendar& calendar,
                  BellState& state);

    // From the first row, the first row later than the clock (strictly); weekdays not looked at,
    // unless a school calendar is kept: then only a row that rings today is named, and on a
    // holiday none.
    void ShowHintByClock();
    // From the row that has just rung, the next row that rings today.
    void ShowHintAfterRing();
    // Names the current row again (after a countdown that ended without a ring).
    void ShowHintForCurrent();

    static QString rowText(int hour, int minute, int second, const QString& event);
    static QString lastEventText();
    static QString holidayText();

  private:
    ScheduleTable& table_;
    const Clock& clock_;
    const SchoolCalendar& calendar_;
    BellState& state_;
};
