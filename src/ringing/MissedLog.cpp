#include "ringing/MissedLog.h"

#include <algorithm>

#include "core/EventLog.h"
#include "core/TimeOfDay.h"

void logMissed(EventLog& log, const QDateTime& after, const QDateTime& before,
               const std::vector<DailyStep>& steps) {
    if (after.daysTo(before) > 7) {
        return;
    }
    std::vector<std::pair<QDateTime, QString>> missed;
    for (QDate day = after.date(); day <= before.date(); day = day.addDays(1)) {
        for (const DailyStep& step : steps) {
            QDateTime at = after;  // same time zone as the clock's times
            at.setDate(day);
            at.setTime(step.time);
            if (at > after && at < before && (!step.on || step.on(day))) {
                missed.emplace_back(at, step.what);
            }
        }
    }
    std::sort(missed.begin(), missed.end());
    for (const auto& [at, what] : missed) {
        log.write(QStringLiteral("missed"), tod::stamp(at) + QLatin1Char(' ') + what);
    }
}
