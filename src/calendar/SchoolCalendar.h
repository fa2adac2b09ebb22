#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The school year's calendar: holidays, make-up school days and the dates on which the run mode
// changes between summer and winter. Without entries it changes nothing: every day rings by its
// weekday, as the timetable's weekday flags say.
struct CalendarEntry {
    enum class Kind { Holiday, Makeup, Switch };
    Kind kind = Kind::Holiday;
    QDate from;
    QDate to;         // a holiday's last day (inclusive); the same as `from` for other kinds
    int weekday = 0;  // a make-up day rings as this weekday, 1 (Monday) to 7 (Sunday)
    int runMode = 0;  // a switch: 1 夏季 (summer) or 2 冬季 (winter), as the run-mode group counts
    QString note;     // 说明

    bool operator==(const CalendarEntry&) const = default;

    static QString kindText(Kind kind);  // 放假, 调休, 作息切换
    static std::optional<Kind> kindFrom(const QString& text);
    static QString runModeText(int runMode);      // 夏季, 冬季
    static int runModeFrom(const QString& text);  // 0 when neither
    // "2026-10-01 至 2026-10-07 放假（国庆节）" and the like, for lists and the log.
    QString describe() const;
};

class SchoolCalendar {
  public:
    SchoolCalendar() = default;
    explicit SchoolCalendar(std::vector<CalendarEntry> entries);

    const std::vector<CalendarEntry>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }

    const CalendarEntry* holidayOn(const QDate& date) const;
    const CalendarEntry* makeupOn(const QDate& date) const;
    // The latest switch on or before the date: the run mode in force that day.
    const CalendarEntry* switchInForce(const QDate& date) const;

    // The weekday whose flags the date rings by: 0 on a holiday (nothing rings), the given
    // weekday on a make-up day, else the date's own (1 = Monday ... 7 = Sunday).
    int ringDay(const QDate& date) const;
    // Whether automatic ringing switches itself on at start-up: Monday to Friday, or a make-up
    // day, and never on a holiday.
    bool schoolDay(const QDate& date) const;
    // "今天放假（国庆节）", "今天调休，按星期一作息", or empty for an ordinary day.
    QString todayText(const QDate& date) const;

    // What is wrong with a list of entries, each "entry index: reason"; empty when it is good.
    struct Problem {
        size_t index;
        QString reason;
    };
    static std::vector<Problem> check(const std::vector<CalendarEntry>& entries);

  private:
    std::vector<CalendarEntry> entries_;
};
