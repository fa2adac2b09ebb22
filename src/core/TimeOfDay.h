#pragma once

#include <QDateTime>
#include <QString>

namespace tod {

// Seconds since midnight: hour * 3600 + minute * 60 + second.
constexpr int seconds(int hour, int minute, int second) {
    return hour * 3600 + minute * 60 + second;
}
int seconds(const QTime& t);

// Weekday character for Qt's day of week (1 = Monday ... 7 = Sunday): "一" ... "六", "日".
QString dayChar(int qtDayOfWeek);

// Always 24-hour HH:mm:ss, whatever the user's locale says.
QString hms(const QTime& t);

// A moment as the log and its details write it: "2026-12-07T08:00:00", and with `withMs`
// "2026-12-07T08:00:00.004".
QString stamp(const QDateTime& t, bool withMs = false);

}  // namespace tod
