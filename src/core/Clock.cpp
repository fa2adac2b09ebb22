#include "core/Clock.h"

#include <QtGlobal>

SystemClock::SystemClock(const QDateTime& start)
    : offsetMs_(QDateTime::currentDateTime().msecsTo(start)) {}

SystemClock SystemClock::fromEnvironment() {
    const QString text = qEnvironmentVariable("TOLLVANE_NOW");
    if (text.isEmpty()) {
        return SystemClock();
    }
    const QDateTime start = QDateTime::fromString(text, Qt::ISODate);
    if (!start.isValid()) {
        return SystemClock();
    }
    return SystemClock(start);
}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime().addMSecs(offsetMs_);
}
