#pragma once

#include "system/Power.h"

// Counts shutdown requests and pointer moves; never switches anything off.
struct FakePower : Power {
    void powerOff() override { ++requests; }
    void parkPointer() override { ++parked; }
    int requests = 0;
    int parked = 0;
};
