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

  signals:
    void timeout();

  private:
    void fire();
    void arm();

    const Clock& clock_;
    QTimer timer_;
    bool enabled_ = false;
    qint64 lastSecond_ = -1;
};
