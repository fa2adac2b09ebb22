#pragma once

#include "system/Power.h"

// Counts shutdown requests; never switches anything off.
struct FakePower : Power {
    void powerOff() override { ++requests; }
    int requests = 0;
};
