#include "core/Clock.h"

#include <QtGlobal>

SystemClock::SystemClock(const QDateTime& start)
    : offsetMs_(QDateTime::currentDateTime().msecsTo(start)) {}

std::optional<QDateTime> SystemClock::parseStart(const QString& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    const QDateTime start = QDateTime::fromString(text, Qt::ISODate);
    if (!start.isValid()) {
        return std::nullopt;
    }
    return start;
}

SystemClock SystemClock::fromEnvironment() {
    const auto start = parseStart(qEnvironmentVariable("TOLLVANE_NOW"));
    return start ? SystemClock(*start) : SystemClock();
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime().addMSecs(offsetMs_);
}
