#pragma once

#include <QString>

// Switches the computer off. A refusal leaves the program running.
class Power {
  public:
    virtual ~Power() = default;
    // Asks for the power-off; empty when the request was sent and accepted, else the reason.
    virtual QString powerOff() = 0;
    // Before a timed shutdown: moves the mouse pointer to the screen's corner, where the
    // platform lets a program move it, so nothing under the pointer holds the shutdown up.
    virtual void parkPointer() = 0;
};

// The real one: the command in TOLLVANE_SHUTDOWN_COMMAND when that is set (for tests and
// demonstrations), else systemd-logind's PowerOff over the system bus, when CanPowerOff says
// this user may.
class SystemPower : public Power {
  public:
    QString powerOff() override;
    void parkPointer() override;
};
