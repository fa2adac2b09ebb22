#pragma once

#include <QStringList>

#include "core/EventLog.h"

// An event log whose lines the test can read.
struct LogRecorder {
    explicit LogRecorder(const Clock& clock)
        : log(clock, [this](const QString& line) { lines << line; }) {}
    QStringList of(const QString& kind) const {
        QStringList found;
        for (const QString& line : lines) {
            if (line.section(QLatin1Char(' '), 1, 1) == kind) {
                found << line.section(QLatin1Char(' '), 2);
            }
        }
        return found;
    }
    QStringList lines;
    EventLog log;
};
