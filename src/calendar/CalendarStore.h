#pragma once

#include <QString>
#include <vector>

#include "calendar/SchoolCalendar.h"

// The calendar file (Data/calendar.dat): an SQLite database with the table "calendar", one
// entry a row. Every save is one committed transaction: the whole new list or, on failure, the
// old one. Failures throw AppError with a text that names the file.
namespace calendarstore {

// The entries in the file, by start date; none when the file does not exist.
std::vector<CalendarEntry> load(const QString& path);
// Replaces the file's entries with `entries`, making the file when it is missing.
void save(const QString& path, const std::vector<CalendarEntry>& entries);

}  // namespace calendarstore
