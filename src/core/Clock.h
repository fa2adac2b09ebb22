#pragma once

#include <QDateTime>
#include <optional>

// The only source of the wall-clock time in the program.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// Local system time. When started with an explicit start time (TOLLVANE_NOW), it begins at that
// time and runs on with the system clock from there.
class SystemClock : public Clock {
  public:
    SystemClock() = default;
    explicit SystemClock(const QDateTime& start);

    // Reads TOLLVANE_NOW=YYYY-MM-DDTHH:MM:SS; an absent or unreadable value gives the real time.
    static SystemClock fromEnvironment();
    // The start time that a TOLLVANE_NOW value names, or nothing when it names none.
    static std::optional<QDateTime> parseStart(const QString& text);

    QDateTime now() const override;

  private:
    qint64 offsetMs_ = 0;
};
