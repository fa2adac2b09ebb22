#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "schedule/ScheduleRow.h"

class Clock;
class Dialogs;
class EventLog;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class ScheduleGrid;
class ScheduleTable;

// Editing the working table through the group "设置项目": load a row by double-click, add, save
// over the loaded row, delete the highlighted row, clear the table, choose the sound file or the
// random-music marker. Every change is stored before the handler returns.
class ScheduleEditor {
  public:
    struct Controls {
        QSpinBox& hour;
        QSpinBox& minute;
        QSpinBox& second;
        std::array<QCheckBox*, 7> days;
        QLineEdit& event;
        QLineEdit& sound;
        QPushButton& save;  // btn5
        ScheduleGrid& grid;
    };

    ScheduleEditor(Controls controls, ScheduleTable& table, Dialogs& dialogs, EventLog& log,
                   const Clock& clock, int& editRecNo, QString programFolder,
                   std::function<void()> showRandomMusic);

    static QString incompleteText();
    static QString duplicateTimeText();
    static QString takenTimeText();
    static QString confirmSaveText();
    static QString confirmDeleteText();
    static QString confirmClearText();
    static QString replaceRandomText();
    static QString controlCharacterText();

    void dbsmdbgrd1DblClick();
    void btn2Click();
    void btn5Click();
    void btn4Click();
    void btn8Click();
    void btn1Click();
    void btn11Click();

  private:
    ScheduleRow fromGroup() const;
    void resetGroup();
    // Says so and returns true when a text field holds a line break, a tab or the like.
    bool refusedForControlCharacters(const ScheduleRow& row);
    void log(const QString& kind, const ScheduleRow& row, const QString& extra = {});

    Controls c_;
    ScheduleTable& table_;
    Dialogs& dialogs_;
    EventLog& log_;
    const Clock& clock_;
    int& editRecNo_;
    QString folder_;
    std::function<void()> showRandomMusic_;
    // The row loaded by the double-click, as it was then (its id identifies it).
    std::optional<ScheduleRow> loaded_;
    QString loadedFrom_;
};
