#include "core/SecondTimer.h"

#include "core/Clock.h"

namespace {
// How long after the boundary the timer aims to fire: a wake that still lands just before it
// is re-armed (see fire()), so the margin only has to cover the timer's millisecond rounding.
constexpr int kAfterBoundaryMs = 1;
}  // namespace

SecondTimer::SecondTimer(const Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SecondTimer::fire);
}

void SecondTimer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    if (enabled_) {
        lastSecond_ = clock_.now().toMSecsSinceEpoch() / 1000;
        arm();
    } else {
        timer_.stop();
    }
}

void SecondTimer::arm() {
    const qint64 ms = clock_.now().toMSecsSinceEpoch();
    timer_.start(static_cast<int>(1000 - ms % 1000) + kAfterBoundaryMs);
}

void SecondTimer::fire() {
    if (!enabled_) {
        return;
    }
    const qint64 second = clock_.now().toMSecsSinceEpoch() / 1000;
    if (second == lastSecond_) {
        arm();  // woke before the boundary: wait for it
        return;
    }
    lastSecond_ = second;
    arm();
    emit timeout();
}
