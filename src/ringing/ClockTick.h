#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

#include "core/SecondSequence.h"

class Clock;
class EventLog;
class IniFile;
class QCheckBox;
class QLabel;
class RingScheduler;
class SchoolCalendar;
class TMediaPlayer;

// The once-a-second clock: time and date, the daily checks (shutdown time, the 12:12:12
// re-selection of the timetable), the playing progress and idle texts, the pre-ring countdown,
// and in its first ticks the start-up sequence (a short wait, the start-up tune, then automatic
// ringing switched on by itself on working days).
class ClockTick {
  public:
    struct Labels {
        QLabel& time;    // lbl1
        QLabel& date;    // lbl12
        QLabel& status;  // lbl2
        QLabel& mode;    // lbl3
        QLabel& hint;    // lbl9
    };
    struct Actions {
        std::function<void(const QDateTime&)> shutdownCheck;
        std::function<void()> rg1Click;
        std::function<void()> chk1Click;
        // The daily shutdown's time while it is switched on, so one lost in a clock gap is
        // written down.
        std::function<std::optional<QTime>()> shutdownTime;
        // The first second of a date, and the first tick after start-up (the school calendar).
        std::function<void(const QDate&)> newDay;
    };

    ClockTick(Labels labels, QCheckBox& chk1, TMediaPlayer& mp1, RingScheduler& scheduler,
              IniFile& settings, EventLog& log, const Clock& clock, const SchoolCalendar& calendar,
              QString startupTune, int& countdown, bool& EventNear, Actions actions);

    void tmr2Timer();
    // Shows the seconds left to the coming event in the hint line (while EventNear is set).
    void ShowPreRingCountdown();

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

    Labels labels_;
    QCheckBox& chk1_;
    TMediaPlayer& mp1_;
    RingScheduler& scheduler_;
    IniFile& settings_;
    EventLog& log_;
    const Clock& clock_;
    const SchoolCalendar& calendar_;
    QString startupTune_;
    int& countdown_;
    bool& EventNear_;
    Actions actions_;

    SecondSequence daily_;
    QDate day_;  // the date of the last second the daily checks saw
    bool autoPlayApplied_ = false;
    bool tuneErrorReported_ = false;
};
