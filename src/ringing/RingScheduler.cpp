#include "ringing/RingScheduler.h"

#include <vector>

#include "calendar/SchoolCalendar.h"
#include "core/AppError.h"
#include "core/Clock.h"
#include "core/EventLog.h"
#include "core/TimeOfDay.h"
#include "media/TMediaPlayer.h"
#include "ringing/BellState.h"
#include "ringing/MissedLog.h"
#include "ringing/NextEventHint.h"
#include "ringing/PlaybackControl.h"
#include "schedule/ScheduleTable.h"

RingScheduler::RingScheduler(ScheduleTable& table, TMediaPlayer& mp1, PlaybackControl& playback,
                             NextEventHint& hint, BellState& state, EventLog& log,
                             const Clock& clock, const SchoolCalendar& calendar)
    : table_(table),
      mp1_(mp1),
      playback_(playback),
      hint_(hint),
      state_(state),
      log_(log),
      clock_(clock),
      calendar_(calendar) {}

void RingScheduler::start() {
    seconds_.reset();
}

void RingScheduler::resumeFrom(const QDateTime& last) {
    seconds_.reset();
    seconds_.done(SecondSequence::wholeSecond(last));
}

void RingScheduler::stop() {
    seconds_.reset();
    if (state_.EventNear()) {
        state_.clearNear();
        hint_.ShowHintForCurrent();  // the countdown is over: the line names the event again
    }
    playback_.DropPrepared();
}

void RingScheduler::tableReplaced() {
    if (state_.EventNear()) {
        if (playback_.KeepPrepared(table_.rows())) {
            return;  // the countdown goes on to the same bell
        }
        state_.clearNear();
        playback_.DropPrepared();
    }
    hint_.ShowHintByClock();
}

void RingScheduler::tmr1Timer() {
    if (!table_.isOpen()) {
        // Said once, not every second, until a table opens again.
        if (!closedSince_) {
            closedSince_ = seconds_.last().value_or(SecondSequence::wholeSecond(clock_.now()));
            throw AppError(QStringLiteral("时间表没有打开，无法自动播放"));
        }
        return;
    }
    if (closedSince_) {
        // A closed table is not a clock jump: the period is told once as what it was, with the
        // rows of the table now open that did not ring in it, and ringing starts from now.
        const QDateTime now = SecondSequence::wholeSecond(clock_.now());
        log_.write(QStringLiteral("table-closed"),
                   tod::stamp(*closedSince_) + QStringLiteral(" -> ") + tod::stamp(now));
        logMissedRows(*closedSince_, now);
        closedSince_.reset();
        seconds_.reset();
    }

    const SecondSequence::Step step = seconds_.next(clock_.now());
    if (step.jumpedFrom) {
        const QDateTime& now = step.seconds.back();
        logJump(*step.jumpedFrom, now);
        if (*step.jumpedFrom < now) {
            logMissedRows(*step.jumpedFrom, now);
        }
    }
    bool rang = false;
    for (const QDateTime& second : step.seconds) {
        seconds_.done(second);  // a second that fails is not evaluated again
        rang = evaluate(second) || rang;
    }
    if (!rang) {
        continuation();
    }
}

bool RingScheduler::dueOn(const QDateTime& second) {
    const QTime t = second.time();
    return table_.locate(t.hour(), t.minute(), t.second()) &&
           table_.current().ringsOn(calendar_.ringDay(second.date()));
}

bool RingScheduler::evaluate(const QDateTime& second) {
    if (state_.EventNear() && second > state_.nearAt()) {
        state_.clearNear();  // its second passed without a ring
        playback_.DropPrepared();
        hint_.ShowHintForCurrent();
    }
    if (!state_.EventNear()) {
        if (const std::optional<int> k = nextRow(second)) {
            // Counted from the clock at once, not from the clock timer's next tick.
            state_.setNear(second.addSecs(*k), table_.current().event, clock_.now());
            playback_.PrepareRow(table_.current());
            if (playback_.preparedDrawIsEmpty()) {
                // Said now, while there is time to put music into the folder.
                state_.setNearNote(playback_.emptyPlaylistText());
            }
        }
    }
    if (!dueOn(second)) {
        return false;
    }
    ring(second);
    // The sound of a row that follows closely (two seconds after this bell, say) is made ready
    // now, not at the next tick, so it has the whole time between them; its countdown starts at
    // the next tick as usual. The bell's row stays the current one.
    const int bellRow = table_.recNo();
    if (nextRow(second)) {
        playback_.PrepareRow(table_.current());
    }
    table_.setRecNo(bellRow);
    return true;
}

std::optional<int> RingScheduler::nextRow(const QDateTime& second) {
    // The coming row within the next ten seconds, with today's weekday flag (the row at 0:00:05
    // is looked for at 23:59:55 with the old day's flag; the ring checks the new day's).
    // Normally a row enters this window ten seconds ahead; looking at the whole window also
    // finds the nearer row when ringing was switched on, or a bell rang, less than ten seconds
    // before it.
    const int today = calendar_.ringDay(second.date());
    for (int k = 1; k <= kLookAheadSeconds; ++k) {
        const QTime t = second.time().addSecs(k);  // wraps at midnight
        if (table_.locate(t.hour(), t.minute(), t.second()) && table_.current().ringsOn(today)) {
            return k;
        }
    }
    return std::nullopt;
}

void RingScheduler::ring(const QDateTime& second) {
    state_.clearNear();
    state_.endStartup();  // a bell that rings first leaves out the start-up tune
    const ScheduleRow row = table_.current();
    const QString when = tod::hms(second.time());
    bool silentDraw = false;
    switch (playback_.PlayRow(row)) {
        case PlaybackControl::Start::MissingFile:
            return;
        case PlaybackControl::Start::EmptyPlaylist:
            silentDraw = true;
            log_.write(QStringLiteral("ring"), when + QLatin1Char(' ') + row.event +
                                                   QLatin1Char(' ') +
                                                   playback_.emptyPlaylistText());
            break;
        case PlaybackControl::Start::Played:
            // A bell that went to no audio output is written down as such.
            log_.write(QStringLiteral("ring"),
                       when + QLatin1Char(' ') + row.event + QLatin1Char(' ') + mp1_.FileName() +
                           (mp1_.outputMissing() ? QStringLiteral(" silent") : QString()));
            break;
    }
    hint_.ShowHintAfterRing();
    if (silentDraw) {
        // Not only in the log: the person at the PC sees why the bell was silent.
        state_.setMessage(QStringLiteral("事件提示：") + playback_.nothingToDrawText());
    }
}

void RingScheduler::continuation() {
    if (!mp1_.isOpen() || mp1_.Mode() == mpRecording) {
        return;  // nothing has played yet, or the recorder has the player: nothing goes on
    }
    if (mp1_.Position() != mp1_.Length() && state_.mode() != mpStopped) {
        return;  // still playing
    }
    const std::optional<ScheduleRow>& row = playback_.playlistRow;
    if (!row || row->sound != schedule::kRandomMusic) {
        playback_.StopPlayback();
        return;
    }
    if (playback_.PlayNextTune(*row, row->ringsOn(calendar_.ringDay(clock_.now().date())))) {
        log_.write(QStringLiteral("playlist-tune"), mp1_.FileName());
    }
}

void RingScheduler::logJump(const QDateTime& from, const QDateTime& to) {
    log_.write(QStringLiteral("clock-jump"),
               tod::stamp(from) + QStringLiteral(" -> ") + tod::stamp(to));
}

void RingScheduler::logMissedRows(const QDateTime& after, const QDateTime& before) {
    std::vector<DailyStep> steps;
    // A holiday's rows are not missed: they were never to ring.
    for (const ScheduleRow& row : table_.rows()) {
        steps.push_back(
            {QTime(row.hour, row.minute, row.second), row.event,
             [row, this](const QDate& day) { return row.ringsOn(calendar_.ringDay(day)); }});
    }
    logMissed(log_, after, before, steps);
}
