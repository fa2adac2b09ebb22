#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

class EventLog;

// Something the program does at a time of day: a bell, the timed shutdown, the noon refresh.
struct DailyStep {
    QTime time;
    QString what;
    std::function<bool(const QDate&)> on;  // the days it happens; empty: every day
};

// Logs as `missed`, in time order, each step whose second fell strictly between `after` and
// `before` on a day it happens. A gap of more than a week lists nothing: its clock-jump line
// says enough.
void logMissed(EventLog& log, const QDateTime& after, const QDateTime& before,
               const std::vector<DailyStep>& steps);
