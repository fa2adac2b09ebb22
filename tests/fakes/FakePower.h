#pragma once

#include "system/Power.h"

// Counts shutdown requests and pointer moves; never switches anything off.
struct FakePower : Power {
    QString powerOff() override {
        ++requests;
        return refusal;
    }
    void parkPointer() override { ++parked; }
    int requests = 0;
    int parked = 0;
    QString refusal;  // what the system answers; empty: accepted
};
