#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

#include "core/SecondSequence.h"

class BellState;
class Clock;
class EventLog;
class IniFile;
class SchoolCalendar;
class TMediaPlayer;

// The once-a-second clock: time and date, the daily checks (shutdown time, the 12:12:12
// re-selection of the timetable), the playing progress and idle texts, the pre-ring countdown,
// and in its first ticks the start-up sequence (a short wait, the start-up tune, then automatic
// ringing switched on by itself on working days).
class ClockTick {
  public:
    struct Actions {
        std::function<void(const QDateTime&)> shutdownCheck;
        std::function<void()> rg1Click;
        // Switches automatic ringing on, as ticking the auto-play box does.
        std::function<void()> switchRingingOn;
        // The daily shutdown's time while it is switched on, so one lost in a clock gap is
        // written down.
        std::function<std::optional<QTime>()> shutdownTime;
        // The first second of a date, and the first tick after start-up (the school calendar).
        std::function<void(const QDate&)> newDay;
    };

    ClockTick(BellState& state, TMediaPlayer& mp1, IniFile& settings, EventLog& log,
              const Clock& clock, const SchoolCalendar& calendar, QString startupTune,
              Actions actions);

    void tmr2Timer();

    // "m:ss" of a time in milliseconds: minutes unwrapped, seconds with two digits.
    static QString MinSecText(qint64 milliseconds);
    static QString dateLine(const QDate& date);

    static QString tuneMissingText();
    static QString weekendText();
    static QString holidayText(const QString& note);

  private:
    void startupMoment(const QDateTime& now);
    void applyAutoPlay(const QDateTime& now);
    // Logs the daily steps whose second fell strictly between the two (a clock gap) as missed.
    void logMissedSteps(const QDateTime& after, const QDateTime& before);

    BellState& state_;
    TMediaPlayer& mp1_;
    IniFile& settings_;
    EventLog& log_;
    const Clock& clock_;
    const SchoolCalendar& calendar_;
    QString startupTune_;
    Actions actions_;

    SecondSequence daily_;
    QDate day_;  // the date of the last second the daily checks saw
    bool autoPlayApplied_ = false;
    bool tuneErrorReported_ = false;
};
