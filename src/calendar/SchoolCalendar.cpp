#include "calendar/SchoolCalendar.h"

#include "core/TimeOfDay.h"

namespace {

const QString kHoliday = QStringLiteral("放假");
const QString kMakeup = QStringLiteral("调休");
const QString kSwitch = QStringLiteral("作息切换");

}  // namespace

QString CalendarEntry::kindText(Kind kind) {
    switch (kind) {
        case Kind::Holiday:
            return kHoliday;
        case Kind::Makeup:
            return kMakeup;
        case Kind::Switch:
            return kSwitch;
    }
    return {};
}

std::optional<CalendarEntry::Kind> CalendarEntry::kindFrom(const QString& text) {
    if (text == kHoliday) {
        return Kind::Holiday;
    }
    if (text == kMakeup) {
        return Kind::Makeup;
    }
    if (text == kSwitch) {
        return Kind::Switch;
    }
    return std::nullopt;
}

QString CalendarEntry::runModeText(int runMode) {
    return runMode == 1   ? QStringLiteral("夏季")
           : runMode == 2 ? QStringLiteral("冬季")
                          : QString();
}

int CalendarEntry::runModeFrom(const QString& text) {
    return text == QStringLiteral("夏季") ? 1 : text == QStringLiteral("冬季") ? 2 : 0;
}

QString CalendarEntry::describe() const {
    const QString day = from.toString(Qt::ISODate);
    const QString note_ = note.isEmpty() ? QString() : QStringLiteral("（%1）").arg(note);
    switch (kind) {
        case Kind::Holiday:
            return (to == from ? day : day + QStringLiteral(" 至 ") + to.toString(Qt::ISODate)) +
                   QStringLiteral(" 放假") + note_;
        case Kind::Makeup:
            return day + QStringLiteral(" 调休，按星期%1作息").arg(tod::dayChar(weekday)) + note_;
        case Kind::Switch:
            return day + QStringLiteral(" 起按%1作息").arg(runModeText(runMode)) + note_;
    }
    return {};
}

SchoolCalendar::SchoolCalendar(std::vector<CalendarEntry> entries) : entries_(std::move(entries)) {}

const CalendarEntry* SchoolCalendar::holidayOn(const QDate& date) const {
    for (const CalendarEntry& e : entries_) {
        if (e.kind == CalendarEntry::Kind::Holiday && e.from <= date && date <= e.to) {
            return &e;
        }
    }
    return nullptr;
}

const CalendarEntry* SchoolCalendar::makeupOn(const QDate& date) const {
    for (const CalendarEntry& e : entries_) {
        if (e.kind == CalendarEntry::Kind::Makeup && e.from == date) {
            return &e;
        }
    }
    return nullptr;
}

const CalendarEntry* SchoolCalendar::switchInForce(const QDate& date) const {
    const CalendarEntry* latest = nullptr;
    for (const CalendarEntry& e : entries_) {
        if (e.kind == CalendarEntry::Kind::Switch && e.from <= date &&
            (latest == nullptr || e.from > latest->from)) {
            latest = &e;
        }
    }
    return latest;
}

int SchoolCalendar::ringDay(const QDate& date) const {
    if (holidayOn(date) != nullptr) {
        return 0;
    }
    if (const CalendarEntry* makeup = makeupOn(date)) {
        return makeup->weekday;
    }
    return date.dayOfWeek();
}

bool SchoolCalendar::schoolDay(const QDate& date) const {
    if (holidayOn(date) != nullptr) {
        return false;
    }
    return makeupOn(date) != nullptr || date.dayOfWeek() <= 5;
}

QString SchoolCalendar::todayText(const QDate& date) const {
    if (const CalendarEntry* holiday = holidayOn(date)) {
        return holiday->note.isEmpty() ? QStringLiteral("今天放假")
                                       : QStringLiteral("今天放假（%1）").arg(holiday->note);
    }
    if (const CalendarEntry* makeup = makeupOn(date)) {
        return QStringLiteral("今天调休，按星期%1作息").arg(tod::dayChar(makeup->weekday));
    }
    return {};
}

std::vector<SchoolCalendar::Problem> SchoolCalendar::check(
    const std::vector<CalendarEntry>& entries) {
    using Kind = CalendarEntry::Kind;
    std::vector<Problem> problems;
    for (size_t i = 0; i < entries.size(); ++i) {
        const CalendarEntry& e = entries[i];
        auto refuse = [&](const QString& reason) { problems.push_back({i, reason}); };
        if (!e.from.isValid() || !e.to.isValid()) {
            refuse(QStringLiteral("日期不存在"));
            continue;
        }
        if (e.kind == Kind::Holiday && e.to < e.from) {
            refuse(QStringLiteral("放假的结束日期早于开始日期"));
            continue;
        }
        if (e.kind != Kind::Holiday && e.to != e.from) {
            refuse(QStringLiteral("只有放假才有结束日期"));
            continue;
        }
        if (e.kind == Kind::Makeup && (e.weekday < 1 || e.weekday > 7)) {
            refuse(QStringLiteral("调休要写按星期几作息（1 到 7）"));
            continue;
        }
        if (e.kind != Kind::Makeup && e.weekday != 0) {
            refuse(QStringLiteral("只有调休才写按星期"));
            continue;
        }
        if (e.kind == Kind::Switch && e.runMode != 1 && e.runMode != 2) {
            refuse(QStringLiteral("作息切换要写运行模式：夏季或冬季"));
            continue;
        }
        if (e.kind != Kind::Switch && e.runMode != 0) {
            refuse(QStringLiteral("只有作息切换才写运行模式"));
            continue;
        }
        for (size_t j = 0; j < i; ++j) {
            const CalendarEntry& o = entries[j];
            if (!o.from.isValid() || !o.to.isValid()) {
                continue;
            }
            const bool overlap = o.from <= e.to && e.from <= o.to;
            if (!overlap) {
                continue;
            }
            const bool holidays = e.kind == Kind::Holiday && o.kind == Kind::Holiday;
            const bool makeupInHoliday = (e.kind == Kind::Makeup && o.kind == Kind::Holiday) ||
                                         (e.kind == Kind::Holiday && o.kind == Kind::Makeup);
            if (holidays) {
                refuse(QStringLiteral("与另一个放假（%1）重叠").arg(o.describe()));
            } else if (makeupInHoliday && e.kind == Kind::Makeup) {
                refuse(QStringLiteral("调休日在放假期间（%1）").arg(o.describe()));
            } else if (makeupInHoliday) {
                refuse(QStringLiteral("放假期间有调休日（%1）").arg(o.describe()));
            } else if (e.kind == o.kind) {
                refuse(QStringLiteral("同一天已有%1").arg(CalendarEntry::kindText(e.kind)));
            } else {
                continue;
            }
            break;
        }
    }
    return problems;
}
