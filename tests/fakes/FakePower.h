#pragma once

#include "system/Power.h"

// Counts shutdown requests and pointer moves; never switches anything off.
struct FakePower : Power {
    void powerOff(std::function<void(const QString&)> done) override {
        ++requests;
        done(refusal);
    }
    void parkPointer() override { ++parked; }
    int requests = 0;
    int parked = 0;
    QString refusal;  // what the system answers; empty: accepted
};
