#pragma once

class Dialogs;
class EventLog;
class BellState;

// Tells the school when the bells go to no audio output (no device, no sound server): a line
// in the log at each change, a box the first time, and the hint line while it lasts.
class OutputNotice {
  public:
    OutputNotice(Dialogs& dialogs, EventLog& log, BellState& state);

    void outputChanged(bool available);

    static const char16_t* missingText();

  private:
    Dialogs& dialogs_;
    EventLog& log_;
    BellState& state_;
    bool boxShown_ = false;
};
