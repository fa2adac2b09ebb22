#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "core/TimeOfDay.h"

// One timetable event. `id` is the store's leading row identifier; the program never uses it.
struct ScheduleRow {
    qint64 id = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    QString event;
    QString sound;               // a file path, or the random-music marker
    std::array<bool, 7> days{};  // Monday ... Sunday

    int timeOfDay() const { return tod::seconds(hour, minute, second); }
    // Whether the event applies on a day, by Qt's day of week (1 = Monday ... 7 = Sunday).
    bool ringsOn(int qtDayOfWeek) const {
        return qtDayOfWeek >= 1 && qtDayOfWeek <= 7 && days[static_cast<size_t>(qtDayOfWeek - 1)];
    }
    bool operator==(const ScheduleRow&) const = default;
};

namespace schedule {

// Stored field names, in table order after the leading field.
inline const QString kHour = QStringLiteral("时");
inline const QString kMinute = QStringLiteral("分");
inline const QString kSecond = QStringLiteral("秒");
inline const QString kEvent = QStringLiteral("事件");
inline const QString kSound = QStringLiteral("声音文件");
inline const QStringList kDayFields = {
    QStringLiteral("周一"), QStringLiteral("周二"), QStringLiteral("周三"), QStringLiteral("周四"),
    QStringLiteral("周五"), QStringLiteral("周六"), QStringLiteral("周日")};
inline const QString kLeadingField = QStringLiteral("ID");

// Every field name in table order, the leading field first.
QStringList allFields();

// The sound-file marker of an event that plays a random playlist.
inline const QString kRandomMusic = QStringLiteral("随机音乐");

// The five variant tables of the data folder.
inline const QStringList kTableNames = {QStringLiteral("temp.dat"), QStringLiteral("xiaqing.dat"),
                                        QStringLiteral("xiayu.dat"), QStringLiteral("dongqing.dat"),
                                        QStringLiteral("dongyu.dat")};

// Checks a row's time fields; returns an empty string when the row is valid, else the reason.
QString checkTime(const ScheduleRow& row);

// Whether a text holds a control character (a line break, a tab...): event names and sound
// files must not, so that every record and log line stays one line.
bool hasControlCharacter(const QString& text);

}  // namespace schedule
