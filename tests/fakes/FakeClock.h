#pragma once

#include "QtPrint.h"
#include "core/Clock.h"

// A clock that says what the test sets.
class FakeClock : public Clock {
  public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 7), QTime(8, 0, 0)))
        : now_(std::move(start)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime& t) { now_ = t; }
    void setTime(const QTime& t) { now_.setTime(t); }
    void advance(int seconds) { now_ = now_.addSecs(seconds); }

  private:
    QDateTime now_;
};
