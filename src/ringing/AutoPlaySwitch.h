#pragma once

class BellState;
class IniFile;
class NextEventHint;
class RingScheduler;
class SecondTimer;

// The "自动播放" box: on, the ring timer runs and the timetable is locked, so what rings is what
// the list shows; off, the timetable is unlocked. The lock is said through the bell's state
// (BellState::ringing); the window applies it to the controls that change or switch the table.
class AutoPlaySwitch {
  public:
    AutoPlaySwitch(BellState& state, SecondTimer& tmr1, RingScheduler& scheduler,
                   NextEventHint& hint, IniFile& settings);

    void chk1Click(bool checked);

  private:
    BellState& state_;
    SecondTimer& tmr1_;
    RingScheduler& scheduler_;
    NextEventHint& hint_;
    IniFile& settings_;
};
