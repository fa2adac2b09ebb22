#include "system/VolumeControl.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include "core/EventLog.h"
#include "system/MasterVolume.h"
#include "widgets/TRealTrackbar.h"

VolumeControl::VolumeControl(MasterVolume& mixer, TRealTrackbar& slider, QCheckBox& chk3,
                             EventLog& log)
    : mixer_(mixer), slider_(slider), chk3_(chk3), log_(log) {
    QObject::connect(&mixer_, &MasterVolume::changedElsewhere, &slider_, [this] { follow(); });
}

bool VolumeControl::mixerThere() {
    present_ = mixer_.available();
    if (present_) {
        missingLogged_ = false;
        return true;
    }
    if (!missingLogged_) {
        missingLogged_ = true;
        log_.write(QStringLiteral("mixer-missing"));
    }
    return false;
}

void VolumeControl::startup() {
    if (mixerThere()) {
        follow();
    }
    ready_ = true;
}

void VolumeControl::follow() {
    // Only a mixer already found is followed; a missing one is looked for at the next change.
    if (!present_ || !mixer_.available()) {
        return;
    }
    following_ = true;
    const int level = mixer_.level();
    const bool moved = level >= 0 && level != slider_.Value();
    if (moved) {
        slider_.setValue(level);
    }
    const bool muted = mixer_.hasSwitch() && mixer_.muted();
    const bool switched = mixer_.hasSwitch() && muted != chk3_.isChecked();
    if (switched) {
        const QSignalBlocker quiet(chk3_);
        chk3_.setChecked(muted);
    }
    following_ = false;
    if (ready_ && (moved || switched)) {
        log_.write(QStringLiteral("volume-elsewhere"),
                   QString::number(level) + (muted ? QStringLiteral(" muted") : QString()));
    }
}

void VolumeControl::rltrckbr1Change() {
    if (!ready_ || following_ || !mixerThere()) {
        return;
    }
    mixer_.setLevel(slider_.Value());
    if (mixer_.hasSwitch() && mixer_.muted()) {
        mixer_.setMuted(false);  // the sound comes back at the new level; the box stays
    }
    log_.write(QStringLiteral("volume"), QString::number(slider_.Value()));
}

void VolumeControl::chk3Click() {
    if (!ready_ || following_ || !mixerThere()) {
        return;
    }
    if (chk3_.isChecked()) {
        // A mixer without a mute switch is silenced by its volume; the slider keeps the level
        // to come back to.
        if (mixer_.hasSwitch()) {
            mixer_.setMuted(true);
        } else {
            mixer_.setLevel(0);
        }
        log_.write(QStringLiteral("mute"), QStringLiteral("on"));
        return;
    }
    if (mixer_.hasSwitch()) {
        mixer_.setMuted(false);
    }
    mixer_.setLevel(slider_.Value());
    log_.write(QStringLiteral("mute"), QStringLiteral("off"));
}
