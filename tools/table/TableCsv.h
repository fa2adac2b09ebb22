#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "schedule/ScheduleRow.h"

// A timetable as CSV: the header row 时,分,秒,事件,声音文件,周一 … 周日, then one row per event,
// weekday cells 1/0 (True/False also read).
namespace tablecsv {

QStringList header();

QString write(const std::vector<ScheduleRow>& rows);

struct Parsed {
    std::vector<ScheduleRow> rows;
    QStringList errors;  // "第 N 行：…", one per fault; empty when every row is good
};

Parsed read(const QString& text);

}  // namespace tablecsv
