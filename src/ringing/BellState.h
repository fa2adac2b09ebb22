#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <optional>

// The bell's state, written by the ringing classes and shown by the main window: the mode the
// player last reported, the start-up phase, the coming event and its countdown, whether
// automatic ringing is on, and what the clock, date, status and hint lines say. Every change is
// emitted, so a window shows the state without holding any of it.
//
// The hint line shows the first of these that applies, whichever timer wrote last:
//  1. the countdown to the coming event, while one is near;
//  2. the newest message (a sound that failed or is missing, a change of the audio output, a
//     start-up notice) given since the next event was last named;
//  3. that the audio output is missing, while it is;
//  4. the next event, or that the last one has passed.
class BellState : public QObject {
    Q_OBJECT
  public:
    // The start-up count: four ticks of waiting (16 to 13), the tune's moment (12), done (11).
    static constexpr int kStartupCount = 16;
    static constexpr int kStartupMoment = 12;

    explicit BellState(QObject* parent = nullptr) : QObject(parent) {}

    // The mode the player last reported (TMPModes); none before its first notification.
    std::optional<int> mode() const { return mode_; }
    void setMode(int mode);
    // Its text ("停止", "正在播放"...), empty before the first report.
    QString modeText() const;

    int startupCount() const { return startup_; }
    bool startupWaiting() const { return startup_ > kStartupMoment; }
    bool startupDue() const { return startup_ == kStartupMoment; }
    void startupTick();
    // The start-up is over: after its tune, or when a bell has rung first.
    void endStartup() { startup_ = kStartupMoment - 1; }

    bool EventNear() const { return nearAt_.has_value(); }
    // The second and name of the coming event; valid while EventNear().
    QDateTime nearAt() const { return nearAt_.value_or(QDateTime()); }
    const QString& nearName() const { return nearName_; }
    // The coming event, counted down from `now`.
    void setNear(const QDateTime& at, const QString& name, const QDateTime& now);
    // Counts again from `now`: the whole seconds left to the event, never below 0.
    void updateCountdown(const QDateTime& now);
    void clearNear();
    // Said after the countdown of the coming event (a random-music row with nothing to draw).
    void setNearNote(const QString& note);
    // The seconds left to the coming event; 0 when none is near.
    int countdown() const { return countdown_; }
    static QString countdownText(int seconds, const QString& event);

    // Automatic ringing (the auto-play box): on, the timetable is locked.
    bool ringing() const { return ringing_; }
    void setRinging(bool on);

    const QString& clockText() const { return clock_; }
    void setClockText(const QString& text);
    // The date line; `plain` when it is the bare date, which the window never shortens.
    const QString& dateText() const { return date_; }
    bool datePlain() const { return datePlain_; }
    void setDateText(const QString& text, bool plain);
    // Said with the date line while the clock is not kept to network time; empty otherwise.
    const QString& clockNote() const { return clockNote_; }
    void setClockNote(const QString& note);

    const QString& status() const { return status_; }
    void setStatus(const QString& text);

    QString hint() const;
    void setNextEvent(const QString& text);
    void setMessage(const QString& text);
    void setOutputMissing(bool missing, const QString& text);

  signals:
    void modeChanged(const QString& text);
    void ringingChanged(bool on);
    void clockTextChanged(const QString& text);
    void dateTextChanged(const QString& text, bool plain);
    void clockNoteChanged(const QString& note);
    void statusChanged(const QString& text);
    void hintChanged(const QString& text);

  private:
    // Sets the field and emits its change, only when it changed.
    template <typename T, typename Arg>
    void update(T& field, const T& value, void (BellState::*changed)(Arg));
    // Emits the hint when the rule's outcome changed.
    void hintMayHaveChanged();

    std::optional<int> mode_;
    int startup_ = kStartupCount;
    std::optional<QDateTime> nearAt_;
    QString nearName_;
    QString nearNote_;
    int countdown_ = 0;
    bool ringing_ = false;
    QString clock_;
    QString date_;
    bool datePlain_ = true;
    QString clockNote_;
    QString status_ = QStringLiteral("播放状态：空闲");
    QString nextEvent_ = QStringLiteral("事件提示：准备播放······");
    std::optional<QString> message_;
    std::optional<QString> outputMissing_;
    QString shownHint_ = nextEvent_;
};
