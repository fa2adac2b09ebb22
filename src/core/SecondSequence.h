#pragma once

#include <QDateTime>
#include <optional>
#include <vector>

// Hands out each second of the clock exactly once, in order, for checks that must happen at an
// exact second (a bell, the daily shutdown). A tick that comes late gets the seconds it missed
// (up to kCatchUpSeconds), so a busy moment is late rather than lost; a repeated tick, or the
// clock stepping back by up to kStepBackSeconds, gets nothing, so nothing happens twice. A longer
// gap (suspend, the clock set forward) or a larger step back starts afresh from the new second.
class SecondSequence {
  public:
    static constexpr int kCatchUpSeconds = 5;
    static constexpr int kStepBackSeconds = 60;

    struct Step {
        std::vector<QDateTime> seconds;  // to evaluate, in order
        // Set when the clock jumped: the last second evaluated before the jump.
        std::optional<QDateTime> jumpedFrom;
    };

    // The seconds up to `now` (milliseconds dropped) that have not been handed out. Each must be
    // confirmed with done() as it is taken up, so one that fails is not handed out again.
    Step next(const QDateTime& now) const;
    void done(const QDateTime& second) { last_ = second; }
    // Forget the past: the next call starts from its own second.
    void reset() { last_.reset(); }
    // The last second handed out and taken up, if any since the last reset.
    const std::optional<QDateTime>& last() const { return last_; }

    static QDateTime wholeSecond(const QDateTime& t);

  private:
    std::optional<QDateTime> last_;
};
