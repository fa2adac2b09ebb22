#include "ringing/CalendarDay.h"

#include "calendar/SchoolCalendar.h"
#include "core/EventLog.h"
#include "core/IniFile.h"
#include "core/SettingsKeys.h"
#include "core/TimeOfDay.h"
#include "ringing/BellState.h"
#include "ringing/ClockTick.h"

CalendarDay::CalendarDay(const SchoolCalendar& calendar, IniFile& settings, EventLog& log,
                         std::function<void(int)> selectRunMode)
    : calendar_(calendar),
      settings_(settings),
      log_(log),
      selectRunMode_(std::move(selectRunMode)) {}

void CalendarDay::begin(const QDate& date) {
    const QString day = date.toString(Qt::ISODate);
    if (const CalendarEntry* holiday = calendar_.holidayOn(date)) {
        log_.write(QStringLiteral("calendar-holiday"),
                   (day + QLatin1Char(' ') + holiday->note).trimmed());
    } else if (const CalendarEntry* makeup = calendar_.makeupOn(date)) {
        log_.write(
            QStringLiteral("calendar-makeup"),
            (day + QStringLiteral(" 按星期%1 ").arg(tod::dayChar(makeup->weekday)) + makeup->note)
                .trimmed());
    }
    applySwitch(date);
}

void CalendarDay::applySwitch(const QDate& date) {
    const CalendarEntry* in = calendar_.switchInForce(date);
    if (in == nullptr) {
        return;
    }
    // The switch dates already carried out are remembered as YYYYMMDD, so each happens once,
    // also when the computer was off on its date.
    const int key = in->from.year() * 10000 + in->from.month() * 100 + in->from.day();
    if (settings_.readInteger(settings::kSet, settings::kCalendarSwitch, 0) >= key) {
        return;
    }
    selectRunMode_(in->runMode);
    settings_.writeInteger(settings::kSet, settings::kCalendarSwitch, key);
    log_.write(QStringLiteral("calendar-switch"),
               (in->from.toString(Qt::ISODate) + QLatin1Char(' ') +
                CalendarEntry::runModeText(in->runMode) + QLatin1Char(' ') + in->note)
                   .trimmed());
}

QString CalendarDay::dateText(const SchoolCalendar& calendar, const QDate& date) {
    const QString state = calendar.todayText(date);
    if (state.isEmpty()) {
        return ClockTick::dateLine(date);
    }
    if (calendar.makeupOn(date) != nullptr) {
        return QStringLiteral("%1月%2日  %3").arg(date.month()).arg(date.day()).arg(state);
    }
    return QStringLiteral("%1月%2日 星期%3  %4")
        .arg(date.month())
        .arg(date.day())
        .arg(tod::dayChar(date.dayOfWeek()), state);
}

void CalendarDay::show(BellState& state, const SchoolCalendar& calendar, const QDate& date) {
    // Without the day's state it is the date line as it always was.
    state.setDateText(dateText(calendar, date), calendar.todayText(date).isEmpty());
}
