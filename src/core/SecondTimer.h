#pragma once

#include <QObject>
#include <QTimer>

class Clock;

// A one-second timer that fires just after each second boundary of the Clock's time, re-armed
// at every tick, so each wall-clock second is seen once even when the event loop is busy.
class SecondTimer : public QObject {
    Q_OBJECT
  public:
    explicit SecondTimer(const Clock& clock, QObject* parent = nullptr);

    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }

    // The expiry of the underlying timer: emits timeout() if the clock has reached a second not
    // yet seen, and arms again for just after the next boundary. Tests call it with a fake clock.
    void fire();
    // How long, in milliseconds, the timer was last armed for.
    int armedMs() const { return timer_.interval(); }

  signals:
    void timeout();

  private:
    void arm();

    const Clock& clock_;
    QTimer timer_;
    bool enabled_ = false;
    qint64 lastSecond_ = -1;
};
