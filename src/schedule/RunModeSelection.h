#pragma once

#include <QString>
#include <functional>

class EventLog;
class IniFile;
class ScheduleTable;

// Chooses the working table from the run mode (0 临时, 1 夏季, 2 冬季) and the weather
// (0 晴天, otherwise 雨天), opens it and remembers the choice in the settings file.
class RunModeSelection {
  public:
    // `afterOpen` applies the list layout and refreshes the hint once a table has opened.
    RunModeSelection(ScheduleTable& table, IniFile& settings, EventLog& log,
                     std::function<void()> afterOpen);

    // The table for a run mode and weather; empty for a run mode outside 0..2.
    static QString tableName(int runMode, int weather);

    // The run-mode handler: opens the variant, writes "RunMode", then lays out and refreshes.
    // A failed open throws and leaves the table closed; nothing after it runs.
    void rg1Click(int runMode, int weather);
    // The weather handler: writes "Weather", then runs the run-mode handler.
    void rg2Click(int runMode, int weather);

    // A stored index as the radio group selects it: above the last item selects the last, a
    // negative one falls back to the first.
    static int storedIndex(int stored, int itemCount);

  private:
    ScheduleTable& table_;
    IniFile& settings_;
    EventLog& log_;
    std::function<void()> afterOpen_;
};
