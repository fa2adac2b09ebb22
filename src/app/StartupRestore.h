#pragma once

class TForm1;

// The main window's start-up, in its fixed order: credit line and clock font, the table folder,
// run mode and weather (which open the working table), the grid layout, the shared counters, the
// option boxes and the window state, all restored from config.ini. Each change of a box or a
// group runs its handler exactly as a user's click would.
class StartupRestore {
  public:
    explicit StartupRestore(TForm1& form) : form_(form) {}
    void run();

  private:
    TForm1& form_;
};
