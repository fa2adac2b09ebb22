#include "calendar/CalendarBook.h"

#include <algorithm>

#include "calendar/CalendarStore.h"

CalendarBook::CalendarBook(QString path) : path_(std::move(path)) {}

void CalendarBook::load() {
    calendar_ = SchoolCalendar();
    calendar_ = SchoolCalendar(calendarstore::load(path_));
}

QString CalendarBook::add(const CalendarEntry& entry) {
    std::vector<CalendarEntry> entries = calendar_.entries();
    entries.push_back(entry);
    for (const SchoolCalendar::Problem& problem : SchoolCalendar::check(entries)) {
        if (problem.index == entries.size() - 1) {
            return problem.reason;
        }
    }
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const CalendarEntry& a, const CalendarEntry& b) { return a.from < b.from; });
    replace(std::move(entries));
    return {};
}

void CalendarBook::remove(size_t index) {
    std::vector<CalendarEntry> entries = calendar_.entries();
    if (index >= entries.size()) {
        return;
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    replace(std::move(entries));
}

void CalendarBook::replace(std::vector<CalendarEntry> entries) {
    calendarstore::save(path_, entries);  // throws before anything changes in memory
    calendar_ = SchoolCalendar(std::move(entries));
}
