#pragma once

#include "system/MasterVolume.h"

// A mixer in memory: what the program set, and changes "made elsewhere" on the test's word.
struct FakeMixer : MasterVolume {
    bool available() override { return there; }
    int level() override { return there ? percent : -1; }
    void setLevel(int p) override {
        percent = p;
        ++writes;
    }
    bool muted() override { return mute; }
    void setMuted(bool m) override {
        if (withSwitch) {  // as a real mixer, one without a switch has nothing to set
            mute = m;
            ++writes;
        }
    }
    bool hasSwitch() override { return withSwitch; }
    void changeElsewhere(int p, bool m) {
        percent = p;
        mute = m;
        emit changedElsewhere();
    }
    bool there = true;
    bool withSwitch = true;
    int percent = 70;
    bool mute = false;
    int writes = 0;
};
