#pragma once

#include "sync/BundleSource.h"

// Runs the work at once on the caller's thread, then its continuation: a test sees each round
// of the follower end before the call that started it returns.
class InlineBackground : public Background {
  public:
    void run(std::function<void()> work, std::function<void()> done) override {
        work();
        done();
    }
};
