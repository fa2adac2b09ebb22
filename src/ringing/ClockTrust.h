#pragma once

#include <QDateTime>
#include <optional>

class BellState;
class ClockSync;
class EventLog;

// Watches whether the clock is kept to network time: read at the first tick and every ten
// minutes; each change is a log line (clock-unsynced with the kernel's estimated error, or
// clock-synced) and a note on the date line, since two buildings whose clocks drift apart ring
// at different times.
class ClockTrust {
  public:
    static constexpr qint64 kEverySeconds = 600;

    ClockTrust(ClockSync& sync, EventLog& log, BellState& state);

    void check(const QDateTime& now);

    static QString unsyncedText(qint64 estimatedErrorUs);

  private:
    ClockSync& sync_;
    EventLog& log_;
    BellState& state_;
    std::optional<QDateTime> lastRead_;
    std::optional<bool> synchronised_;
};
