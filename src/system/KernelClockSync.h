#pragma once

#include "core/ClockSync.h"

// The kernel's time-keeping state (adjtimex): not synchronised when it answers TIME_ERROR or
// STA_UNSYNC is set, which it is until a time daemon has set the clock from the network.
class KernelClockSync : public ClockSync {
  public:
    std::optional<ClockSyncReading> read() override;
};
