#pragma once

#include "TempDir.h"
#include "schedule/ScheduleDb.h"
#include "schedule/ScheduleRow.h"
#include "schedule/ScheduleTable.h"

// A row on every weekday unless told otherwise.
inline ScheduleRow makeRow(int h, int m, int s, const QString& event = QStringLiteral("上课"),
                           const QString& sound = QStringLiteral("/music/bell.mp3"),
                           std::array<bool, 7> days = {true, true, true, true, true, true, true}) {
    ScheduleRow row;
    row.hour = h;
    row.minute = m;
    row.second = s;
    row.event = event;
    row.sound = sound;
    row.days = days;
    return row;
}

// A data folder holding the five empty tables.
struct DataFolder {
    TempDir dir;
    DataFolder() {
        for (const QString& name : schedule::kTableNames) {
            ScheduleDb::create(dir.file(name));
        }
    }
    QString path() const { return dir.path(); }
    void fill(const QString& name, const std::vector<ScheduleRow>& rows) const {
        ScheduleDb(dir.file(name)).replaceAll(rows);
    }
};
