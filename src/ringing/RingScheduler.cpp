#include "ringing/RingScheduler.h"

#include <QLabel>
#include <algorithm>
#include <vector>

#include "core/AppError.h"
#include "core/Clock.h"
#include "core/EventLog.h"
#include "core/TimeOfDay.h"
#include "randommusic/TForm3.h"
#include "ringing/NextEventHint.h"
#include "ringing/PlaybackControl.h"
#include "ringing/TMediaPlayer.h"
#include "schedule/ScheduleTable.h"

namespace {

bool onDay(const ScheduleRow& row, const QDate& date) {
    return row.days[static_cast<size_t>(date.dayOfWeek() - 1)];
}

const QString kStopped = QStringLiteral("停止");

QString stamp(const QDateTime& t) {
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

}  // namespace

RingScheduler::RingScheduler(ScheduleTable& table, TMediaPlayer& mp1, PlaybackControl& playback,
                             TForm3& form3, NextEventHint& hint, QLabel& lbl3, QLabel& lbl9,
                             EventLog& log, const Clock& clock, bool& EventNear, int& countdown)
    : table_(table),
      mp1_(mp1),
      playback_(playback),
      form3_(form3),
      hint_(hint),
      lbl3_(lbl3),
      lbl9_(lbl9),
      log_(log),
      clock_(clock),
      EventNear_(EventNear),
      countdown_(countdown) {}

void RingScheduler::start() {
    seconds_.reset();
}

void RingScheduler::stop() {
    seconds_.reset();
    EventNear_ = false;
    nearAt_ = {};
}

void RingScheduler::tmr1Timer() {
    if (!table_.isOpen()) {
        // Said once, not every second, until a table opens again.
        if (!closedReported_) {
            closedReported_ = true;
            throw AppError(QStringLiteral("时间表没有打开，无法自动播放"));
        }
        return;
    }
    closedReported_ = false;

    const SecondSequence::Step step = seconds_.next(clock_.now());
    if (step.jumpedFrom) {
        const QDateTime& now = step.seconds.back();
        logJump(*step.jumpedFrom, now);
        if (*step.jumpedFrom < now) {
            logMissed(*step.jumpedFrom, now);
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
           table_.field(tod::weekdayField(second.date().dayOfWeek())).toBool();
}

bool RingScheduler::evaluate(const QDateTime& second) {
    if (EventNear_ && nearAt_.isValid() && second > nearAt_) {
        EventNear_ = false;  // its second passed without a ring
        nearAt_ = {};
    }
    if (!EventNear_) {
        // The coming row within the next ten seconds, with today's weekday flag (the row at
        // 0:00:05 is looked for at 23:59:55 with the old day's flag; the ring checks the new
        // day's). Normally a row enters this window ten seconds ahead; looking at the whole
        // window also finds the nearer row when ringing was switched on, or a bell rang, less
        // than ten seconds before it.
        const QString today = tod::weekdayField(second.date().dayOfWeek());
        for (int k = 1; k <= kLookAheadSeconds && !EventNear_; ++k) {
            const QTime t = second.time().addSecs(k);  // wraps at midnight
            if (table_.locate(t.hour(), t.minute(), t.second()) && table_.field(today).toBool()) {
                EventNear_ = true;
                nearAt_ = second.addSecs(k);
                nearName_ = table_.current().event;
            }
        }
    }
    if (!dueOn(second)) {
        return false;
    }
    ring(second);
    return true;
}

void RingScheduler::ring(const QDateTime& second) {
    EventNear_ = false;
    nearAt_ = {};
    countdown_ = 11;
    playback_.StopBeforeNewSound();
    const ScheduleRow row = table_.current();
    playback_.playlistRow = row;
    const QString when = tod::hms(second.time());

    if (row.sound != schedule::kRandomMusic) {
        if (!playback_.chooseFile(playback_.resolve(row.sound))) {
            return;
        }
        form3_.PlayIndex = TForm3::kNoPlaylist;
    } else {
        form3_.Rebuild();
        form3_.PlayIndex = 0;
        const QStringList playlist = form3_.playlist();
        if (playlist.isEmpty()) {
            log_.write(QStringLiteral("ring"), when + QLatin1Char(' ') + row.event +
                                                   QStringLiteral(" （随机音乐文件夹里没有音乐）"));
            hint_.ShowHintAfterRing();
            return;
        }
        if (!playback_.chooseFile(playlist.front())) {
            return;
        }
        form3_.PlayIndex = 1;
    }
    playback_.StartRowSound();
    log_.write(QStringLiteral("ring"),
               when + QLatin1Char(' ') + row.event + QLatin1Char(' ') + mp1_.FileName);
    hint_.ShowHintAfterRing();
}

void RingScheduler::continuation() {
    if (!mp1_.isOpen()) {
        return;  // nothing has played yet, so nothing can go on
    }
    if (mp1_.Position() != mp1_.Length() && lbl3_.text() != kStopped) {
        return;  // still playing
    }
    const std::optional<ScheduleRow>& row = playback_.playlistRow;
    if (!row || row->sound != schedule::kRandomMusic) {
        playback_.StopPlayback();
        return;
    }
    const QStringList playlist = form3_.playlist();
    if (form3_.PlayIndex >= playlist.size()) {
        mp1_.Stop();  // the playlist is over
        return;
    }
    if (!playback_.chooseFile(playlist[form3_.PlayIndex])) {
        return;  // tried again at the next idle tick
    }
    ++form3_.PlayIndex;
    mp1_.DeviceType = PlaybackControl::deviceTypeFor(row->sound);
    mp1_.setTimeFormatMilliseconds();
    if (onDay(*row, clock_.now().date())) {
        mp1_.Open();
        mp1_.Play();
        log_.write(QStringLiteral("playlist-tune"), mp1_.FileName);
    }
}

void RingScheduler::logJump(const QDateTime& from, const QDateTime& to) {
    log_.write(QStringLiteral("clock-jump"), stamp(from) + QStringLiteral(" -> ") + stamp(to));
}

void RingScheduler::logMissed(const QDateTime& after, const QDateTime& before) {
    // Rows that would have rung strictly between the two seconds; a gap of more than a week is
    // only logged as the jump.
    if (after.daysTo(before) > 7) {
        return;
    }
    std::vector<std::pair<QDateTime, QString>> missed;
    for (QDate day = after.date(); day <= before.date(); day = day.addDays(1)) {
        for (const ScheduleRow& row : table_.rows()) {
            QDateTime at = after;  // same time zone as the clock's times
            at.setDate(day);
            at.setTime(QTime(row.hour, row.minute, row.second));
            if (at > after && at < before && onDay(row, day)) {
                missed.emplace_back(at, row.event);
            }
        }
    }
    std::sort(missed.begin(), missed.end());
    for (const auto& [at, event] : missed) {
        log_.write(QStringLiteral("missed"), stamp(at) + QLatin1Char(' ') + event);
    }
}
