#pragma once

// Switches the computer off. A refusal is silent: the program runs on.
class Power {
  public:
    virtual ~Power() = default;
    virtual void powerOff() = 0;
};

// The real one: the command in TOLLVANE_SHUTDOWN_COMMAND when that is set (for tests and
// demonstrations), else systemd-logind's PowerOff over the system bus, when CanPowerOff says
// this user may.
class SystemPower : public Power {
  public:
    void powerOff() override;
};
