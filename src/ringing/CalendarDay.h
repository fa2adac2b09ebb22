#pragma once

#include <QDate>
#include <QString>
#include <functional>

class BellState;
class EventLog;
class IniFile;
class SchoolCalendar;

// What the school calendar does as a day begins (and at start-up): it writes the day's state in
// the event log, and it changes the run mode on the dates the calendar says, once per switch
// date, so a choice made by hand afterwards stands until the next switch date.
class CalendarDay {
  public:
    CalendarDay(const SchoolCalendar& calendar, IniFile& settings, EventLog& log,
                std::function<void(int runMode)> selectRunMode);

    // The first second of `date` seen by the clock (at start-up, the first tick).
    void begin(const QDate& date);

    // The date line of the main window: the date and weekday, with the day's state on a
    // holiday ("10月1日 星期四  今天放假（国庆节）") or make-up day ("10月11日
    // 今天调休，按星期一作息", the state naming the weekday it rings as).
    static QString dateText(const SchoolCalendar& calendar, const QDate& date);
    // Puts it in the bell's state; a line with the day's state may be shortened to fit.
    static void show(BellState& state, const SchoolCalendar& calendar, const QDate& date);

  private:
    void applySwitch(const QDate& date);

    const SchoolCalendar& calendar_;
    IniFile& settings_;
    EventLog& log_;
    std::function<void(int)> selectRunMode_;
};
