#pragma once

// Switches the computer off. A refusal is silent: the program runs on.
class Power {
  public:
    virtual ~Power() = default;
    virtual void powerOff() = 0;
    // Before a timed shutdown: moves the mouse pointer to the screen's corner, where the
    // platform lets a program move it, so nothing under the pointer holds the shutdown up.
    virtual void parkPointer() = 0;
};

// The real one: the command in TOLLVANE_SHUTDOWN_COMMAND when that is set (for tests and
// demonstrations), else systemd-logind's PowerOff over the system bus, when CanPowerOff says
// this user may.
class SystemPower : public Power {
  public:
    void powerOff() override;
    void parkPointer() override;
};
