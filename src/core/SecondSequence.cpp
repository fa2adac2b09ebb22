#include "core/SecondSequence.h"

QDateTime SecondSequence::wholeSecond(const QDateTime& t) {
    QDateTime s = t;
    s.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return s;
}

SecondSequence::Step SecondSequence::next(const QDateTime& clockNow) const {
    const QDateTime now = wholeSecond(clockNow);
    Step step;
    if (!last_) {
        step.seconds.push_back(now);
        return step;
    }
    const qint64 gap = last_->secsTo(now);
    if (gap > 0 && gap <= kCatchUpSeconds) {
        for (qint64 i = 1; i <= gap; ++i) {
            step.seconds.push_back(last_->addSecs(i));
        }
    } else if (gap > kCatchUpSeconds || gap < -kStepBackSeconds) {
        step.jumpedFrom = last_;
        step.seconds.push_back(now);
    }
    // gap == 0 (a repeated tick) or a small step back: those seconds were handed out already.
    return step;
}
