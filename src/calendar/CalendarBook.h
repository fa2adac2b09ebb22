#pragma once

#include <QString>

#include "calendar/SchoolCalendar.h"

// The calendar the program works by, and its file: every change is checked against the whole
// calendar and saved at once; a change that is refused leaves both as they were.
class CalendarBook {
  public:
    explicit CalendarBook(QString path);

    const QString& path() const { return path_; }
    // The calendar in force; the same object for the book's whole life, so it can be shared.
    const SchoolCalendar& calendar() const { return calendar_; }

    // Reads the file again (a missing file is an empty calendar). Throws AppError naming the
    // file when it cannot be read; the calendar is then empty, so the days ring by weekday.
    void load();
    // Adds an entry; returns why it is refused (nothing changed), or an empty text.
    // Throws AppError when the file cannot be written.
    QString add(const CalendarEntry& entry);
    void remove(size_t index);

  private:
    void replace(std::vector<CalendarEntry> entries);

    QString path_;
    SchoolCalendar calendar_;
};
