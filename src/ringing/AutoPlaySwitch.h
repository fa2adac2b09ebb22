#pragma once

#include <QList>

class IniFile;
class NextEventHint;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QWidget;
class RingScheduler;
class SecondTimer;

// The "自动播放" box: on, the ring timer runs and every control that changes or switches the
// timetable is locked, so what rings is what the list shows; off, the controls come back.
class AutoPlaySwitch {
  public:
    struct Controls {
        QList<QWidget*> locked;  // disabled while on, enabled again when off
        QList<QCheckBox*> weekdays;
        QLineEdit* event = nullptr;
        QLineEdit* sound = nullptr;
        QPushButton* save = nullptr;  // disabled when on; only a double-click enables it again
    };

    AutoPlaySwitch(Controls controls, SecondTimer& tmr1, RingScheduler& scheduler,
                   NextEventHint& hint, IniFile& settings);

    void chk1Click(bool checked);

  private:
    Controls controls_;
    SecondTimer& tmr1_;
    RingScheduler& scheduler_;
    NextEventHint& hint_;
    IniFile& settings_;
};
