#pragma once

#include <QString>
#include <functional>

// Switches the computer off. A refusal leaves the program running.
class Power {
  public:
    virtual ~Power() = default;
    // Asks for the power-off. `done` is called once: with an empty text when the request was sent
    // and accepted, else with the reason; perhaps later, never holding the caller for long.
    virtual void powerOff(std::function<void(const QString& refusal)> done) = 0;
    // Before a timed shutdown: moves the mouse pointer to the screen's corner, where the
    // platform lets a program move it, so nothing under the pointer holds the shutdown up.
    virtual void parkPointer() = 0;
};

// The real one: the command in TOLLVANE_SHUTDOWN_COMMAND when that is set (for tests and
// demonstrations; waited for in the background, at most kCommandMs, and refused when it fails
// or exits with another status than 0), else systemd-logind's PowerOff over the system bus,
// when CanPowerOff says this user may.
class SystemPower : public Power {
  public:
    static constexpr int kCommandMs = 10000;
    explicit SystemPower(int commandMs = kCommandMs) : commandMs_(commandMs) {}

    void powerOff(std::function<void(const QString& refusal)> done) override;
    void parkPointer() override;

  private:
    QString logindPowerOff();
    int commandMs_;
};
