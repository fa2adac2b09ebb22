#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

#include "core/SecondSequence.h"

class BellState;
class Clock;
class EventLog;
class NextEventHint;
class PlaybackControl;
class SchoolCalendar;
class ScheduleTable;
class TMediaPlayer;

// The bell: on each tick of the ring timer, rings the rows of the working table that fall due,
// looks ten seconds ahead for the coming one, and plays on a running random playlist.
//
// Every second of the clock is evaluated exactly once, in order. A tick that comes late
// evaluates the seconds it missed (up to kCatchUpSeconds), so a busy moment rings late rather
// than never; a repeated tick, or the clock stepping back by up to kStepBackSeconds, evaluates
// nothing again, so no row rings twice. A longer gap (suspend, the clock set forward) or a
// larger step back starts afresh from the new time: rows that fell in the gap are logged as
// missed, not rung late.
class RingScheduler {
  public:
    static constexpr int kLookAheadSeconds = 10;

    RingScheduler(ScheduleTable& table, TMediaPlayer& mp1, PlaybackControl& playback,
                  NextEventHint& hint, BellState& state, EventLog& log, const Clock& clock,
                  const SchoolCalendar& calendar);

    void tmr1Timer();

    // Automatic ringing switched on: the next tick starts from its own second.
    void start();
    // After a restart: the next tick takes up the seconds since `last` (the crash), so a bell
    // due meanwhile rings late rather than never.
    void resumeFrom(const QDateTime& last);
    // Switched off: the coming event will not ring, so it is no longer near.
    void stop();
    // The working table was read again with other rows (the school's bundle came in): a coming
    // bell whose row is still there as it was stays ready; otherwise the next tick looks ahead
    // in the new rows and makes their bell ready.
    void tableReplaced();

  private:
    // Look-ahead and due check for one second; true when a row rang.
    bool evaluate(const QDateTime& second);
    // How many seconds after `second` the next row of the look-ahead window is, that row made
    // the table's current one; none when the window holds no row that rings today.
    std::optional<int> nextRow(const QDateTime& second);
    void ring(const QDateTime& second);
    void continuation();
    bool dueOn(const QDateTime& second);
    // The rows that would have rung strictly between the two seconds, logged as missed.
    void logMissedRows(const QDateTime& after, const QDateTime& before);
    void logJump(const QDateTime& from, const QDateTime& to);

    ScheduleTable& table_;
    TMediaPlayer& mp1_;
    PlaybackControl& playback_;
    NextEventHint& hint_;
    BellState& state_;  // the coming event lives here
    EventLog& log_;
    const Clock& clock_;
    const SchoolCalendar& calendar_;  // which weekday's flags a date rings by

    SecondSequence seconds_;
    // The last second evaluated before the working table was found closed; while it is set the
    // closure has been reported, and when a table opens again the period is logged as one line.
    std::optional<QDateTime> closedSince_;
};
