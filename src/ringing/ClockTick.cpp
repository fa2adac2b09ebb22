#include "ringing/ClockTick.h"

#include "calendar/SchoolCalendar.h"
#include "core/AppError.h"
#include "core/Clock.h"
#include "core/EventLog.h"
#include "core/IniFile.h"
#include "core/NativePath.h"
#include "core/SettingsKeys.h"
#include "core/TimeOfDay.h"
#include "media/TMediaPlayer.h"
#include "ringing/BellState.h"
#include "ringing/CalendarDay.h"
#include "ringing/MissedLog.h"

ClockTick::ClockTick(BellState& state, TMediaPlayer& mp1, IniFile& settings, EventLog& log,
                     const Clock& clock, const SchoolCalendar& calendar, QString startupTune,
                     Actions actions)
    : state_(state),
      mp1_(mp1),
      settings_(settings),
      log_(log),
      clock_(clock),
      calendar_(calendar),
      startupTune_(std::move(startupTune)),
      actions_(std::move(actions)) {}

QString ClockTick::MinSecText(qint64 milliseconds) {
    const qint64 s = milliseconds / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString ClockTick::dateLine(const QDate& date) {
    return QStringLiteral("%1年%2月%3日    星期%4")
        .arg(date.year())
        .arg(date.month())
        .arg(date.day())
        .arg(tod::dayChar(date.dayOfWeek()));
}

QString ClockTick::holidayText(const QString& note) {
    return note.isEmpty() ? QStringLiteral("事件提示：今天放假，不自动播放")
                          : QStringLiteral("事件提示：今天放假（%1），不自动播放").arg(note);
}

QString ClockTick::tuneMissingText() {
    return QStringLiteral("事件提示：文件不存在，请重新安装程序！");
}

QString ClockTick::weekendText() {
    return QStringLiteral("事件提示：今天是周末，如果要进行工作，请手动选择<自动播放>");
}

void ClockTick::tmr2Timer() {
    const QDateTime now = clock_.now();
    state_.setClockText(tod::hms(now.time()));
    CalendarDay::show(state_, calendar_, now.date());

    // The checks bound to an exact second see every second once, even when ticks come late.
    const SecondSequence::Step step = daily_.next(now);
    if (step.jumpedFrom && *step.jumpedFrom < step.seconds.back()) {
        logMissedSteps(*step.jumpedFrom, step.seconds.back());
    }
    for (const QDateTime& second : step.seconds) {
        daily_.done(second);
        if (second.date() != day_) {
            day_ = second.date();
            if (actions_.newDay) {
                actions_.newDay(day_);
            }
        }
        actions_.shutdownCheck(second);
        if (second.time() == QTime(12, 12, 12)) {
            actions_.rg1Click();
        }
    }

    const std::optional<int> mode = state_.mode();
    if (mode == mpPlaying && mp1_.isOpen()) {
        const QString name = mp1_.FileName().section(QLatin1Char('/'), -1);
        state_.setStatus(QStringLiteral("播放状态：正在播放<<<%1>>>(%2)")
                             .arg(name, MinSecText(mp1_.Length() - mp1_.Position())));
    }
    if (mode == mpStopped) {
        state_.setStatus(QStringLiteral("播放状态：空闲"));
    }
    state_.updateCountdown(now);

    if (state_.startupWaiting()) {
        state_.setStatus(QStringLiteral("播放状态：等待 %1 秒后才能进入播放状态")
                             .arg(state_.startupCount() - BellState::kStartupMoment));
        state_.startupTick();
    }
    if (state_.startupDue()) {
        startupMoment(now);
    }
    if (!state_.startupWaiting() && !state_.startupDue() && mp1_.isOpen() &&
        mp1_.Position() == mp1_.Length() && !state_.ringing()) {
        state_.setStatus(QStringLiteral("播放状态：空闲"));
    }
}

void ClockTick::logMissedSteps(const QDateTime& after, const QDateTime& before) {
    std::vector<DailyStep> steps = {
        {QTime(12, 12, 12), QStringLiteral("12:12:12 重新选择时间表"), {}}};
    if (actions_.shutdownTime) {
        if (const std::optional<QTime> at = actions_.shutdownTime()) {
            steps.push_back({*at, QStringLiteral("定时关机"), {}});
        }
    }
    logMissed(log_, after, before, steps);
}

void ClockTick::startupMoment(const QDateTime& now) {
    if (mp1_.isOpen() && mp1_.Mode() == mpRecording) {
        // Someone is recording already: the tune would end the recording, so it is left out.
        state_.endStartup();
        applyAutoPlay(now);
        log_.write(QStringLiteral("startup-tune-skipped"), QStringLiteral("recording"));
        return;
    }
    if (!nativepath::isFile(startupTune_)) {
        // Without the tune the bells must still ring: the start-up goes on without it.
        state_.endStartup();
        applyAutoPlay(now);
        state_.setMessage(tuneMissingText());
        log_.write(QStringLiteral("missing-file"), startupTune_);
        return;
    }
    try {
        mp1_.Open(startupTune_);
        mp1_.Play();
    } catch (const AppError&) {
        // Tried again at the next tick; said once; ringing does not wait for the tune.
        applyAutoPlay(now);
        if (!tuneErrorReported_) {
            tuneErrorReported_ = true;
            throw;
        }
        return;
    }
    state_.setStatus(QStringLiteral("播放状态：正在播放<<<启动音乐>>>"));
    log_.write(QStringLiteral("startup-tune"), startupTune_);
    state_.endStartup();
    applyAutoPlay(now);
}

void ClockTick::applyAutoPlay(const QDateTime& now) {
    if (autoPlayApplied_) {
        return;
    }
    autoPlayApplied_ = true;
    if (settings_.readInteger(settings::kSet, settings::kAutoPlay, 0) != 1) {
        return;
    }
    if (const CalendarEntry* holiday = calendar_.holidayOn(now.date())) {
        state_.setMessage(holidayText(holiday->note));
        return;
    }
    if (!calendar_.schoolDay(now.date())) {
        state_.setMessage(weekendText());
        return;
    }
    actions_.switchRingingOn();
}
