#include "ringing/AutoPlaySwitch.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/IniFile.h"
#include "core/SecondTimer.h"
#include "core/SettingsKeys.h"
#include "ringing/NextEventHint.h"
#include "ringing/RingScheduler.h"

AutoPlaySwitch::AutoPlaySwitch(Controls controls, SecondTimer& tmr1, RingScheduler& scheduler,
                               NextEventHint& hint, IniFile& settings)
    : controls_(std::move(controls)),
      tmr1_(tmr1),
      scheduler_(scheduler),
      hint_(hint),
      settings_(settings) {}

void AutoPlaySwitch::chk1Click(bool checked) {
    if (checked) {
        if (!tmr1_.isEnabled()) {
            scheduler_.start();
        }
        tmr1_.setEnabled(true);
        for (QWidget* w : controls_.locked) {
            w->setEnabled(false);
        }
        controls_.save->setEnabled(false);
        controls_.event->clear();
        controls_.sound->clear();
        settings_.writeInteger(settings::kSet, settings::kAutoPlay, 1);
        hint_.ShowHintByClock();
    } else {
        tmr1_.setEnabled(false);
        scheduler_.stop();
        for (QWidget* w : controls_.locked) {
            w->setEnabled(true);
        }
        for (QCheckBox* day : controls_.weekdays) {
            day->setChecked(true);
        }
        settings_.writeInteger(settings::kSet, settings::kAutoPlay, 0);
    }
}
