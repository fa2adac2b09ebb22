#include "ringing/ClockTrust.h"

#include <cstdlib>

#include "core/ClockSync.h"
#include "core/EventLog.h"
#include "ringing/BellState.h"

ClockTrust::ClockTrust(ClockSync& sync, EventLog& log, BellState& state)
    : sync_(sync), log_(log), state_(state) {}

QString ClockTrust::unsyncedText(qint64 estimatedErrorUs) {
    return QStringLiteral("时钟未同步（估计误差 %1 秒）：请打开网络校时，否则各处铃声会不一致")
        .arg(static_cast<double>(estimatedErrorUs) / 1e6, 0, 'f', 1);
}

void ClockTrust::check(const QDateTime& now) {
    // Every ten minutes of the clock; a clock set back starts the count again.
    if (lastRead_ && std::llabs(lastRead_->secsTo(now)) < kEverySeconds) {
        return;
    }
    lastRead_ = now;
    const std::optional<ClockSyncReading> reading = sync_.read();
    if (!reading || reading->synchronised == synchronised_) {
        return;
    }
    synchronised_ = reading->synchronised;
    if (reading->synchronised) {
        log_.write(QStringLiteral("clock-synced"));
        state_.setClockNote({});
    } else {
        log_.write(QStringLiteral("clock-unsynced"),
                   QString::number(static_cast<double>(reading->estimatedErrorUs) / 1e6, 'f', 3) +
                       QStringLiteral(" s"));
        state_.setClockNote(unsyncedText(reading->estimatedErrorUs));
    }
}
