#include "ringing/AutoPlaySwitch.h"

#include "core/IniFile.h"
#include "core/SecondTimer.h"
#include "core/SettingsKeys.h"
#include "ringing/BellState.h"
#include "ringing/NextEventHint.h"
#include "ringing/RingScheduler.h"

AutoPlaySwitch::AutoPlaySwitch(BellState& state, SecondTimer& tmr1, RingScheduler& scheduler,
                               NextEventHint& hint, IniFile& settings)
    : state_(state), tmr1_(tmr1), scheduler_(scheduler), hint_(hint), settings_(settings) {}

void AutoPlaySwitch::chk1Click(bool checked) {
    if (checked) {
        if (!tmr1_.isEnabled()) {
            scheduler_.start();
        }
        tmr1_.setEnabled(true);
        state_.setRinging(true);
        settings_.writeInteger(settings::kSet, settings::kAutoPlay, 1);
        hint_.ShowHintByClock();
    } else {
        tmr1_.setEnabled(false);
        scheduler_.stop();
        state_.setRinging(false);
        settings_.writeInteger(settings::kSet, settings::kAutoPlay, 0);
    }
}
