#include "core/EventLog.h"

#include <cstdio>

#include "core/Clock.h"
#include "core/TimeOfDay.h"

namespace {

void toStderr(const QString& line) {
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

EventLog::EventLog(const Clock& clock, Sink sink)
    : clock_(clock), sink_(sink ? std::move(sink) : Sink(toStderr)) {}

void EventLog::write(const QString& kind, const QString& details) {
    QString line = tod::stamp(clock_.now(), true) + QLatin1Char(' ') + kind;
    if (!details.isEmpty()) {
        line += QLatin1Char(' ') + details;
    }
    sink_(line);
}
