#include "system/KernelClockSync.h"

#include <sys/timex.h>

std::optional<ClockSyncReading> KernelClockSync::read() {
    struct timex tx = {};
    tx.modes = 0;  // read only
    const int state = ::adjtimex(&tx);
    if (state == -1) {
        return std::nullopt;
    }
    return ClockSyncReading{state != TIME_ERROR && (tx.status & STA_UNSYNC) == 0, tx.esterror};
}
