#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "calendar/SchoolCalendar.h"

// The school calendar as CSV, a form fixed so calendars can be shared between schools: the
// header 类型,开始,结束,按星期,运行模式,说明, then one entry a line; dates YYYY-MM-DD, the end date
// inclusive and empty for one day, 按星期 1 (Monday) to 7 (Sunday), 运行模式 夏季 or 冬季.
namespace calendarcsv {

QStringList header();

QString write(const std::vector<CalendarEntry>& entries);

struct Parsed {
    std::vector<CalendarEntry> entries;
    QStringList errors;  // "第 N 行：…", one per fault; empty when every entry is good
};

// Reads every entry and checks them together (overlapping holidays, a make-up day in a
// holiday...), so a file is taken whole or not at all.
Parsed read(const QString& text);

}  // namespace calendarcsv
