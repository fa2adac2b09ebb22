#pragma once

#include <QtGlobal>
#include <optional>

// Whether the computer's clock is kept to network time, as the kernel says (whichever time
// daemon keeps it: systemd-timesyncd, chrony, ntpd).
struct ClockSyncReading {
    bool synchronised = false;
    qint64 estimatedErrorUs = 0;  // the kernel's estimate of the clock's error
};

class ClockSync {
  public:
    virtual ~ClockSync() = default;
    // Nothing when the state cannot be read.
    virtual std::optional<ClockSyncReading> read() = 0;
};
