#pragma once

#include <QString>
#include <functional>

class Clock;

// What the unattended bell PC did, one line per event on standard error:
// "<clock time with milliseconds> <kind> <details>".
class EventLog {
  public:
    using Sink = std::function<void(const QString& line)>;

    explicit EventLog(const Clock& clock, Sink sink = {});

    void write(const QString& kind, const QString& details = {});

  private:
    const Clock& clock_;
    Sink sink_;
};
