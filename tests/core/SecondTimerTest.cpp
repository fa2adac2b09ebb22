#include "core/SecondTimer.h"

#include <gtest/gtest.h>

#include "fakes/FakeClock.h"

namespace {

// The timer driven by hand: each step sets the fake clock to when the underlying timer would
// expire and fires it, as the event loop would.
struct SecondTimerTest : ::testing::Test {
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0, 400))};
    SecondTimer timer{clock};
    int fired = 0;
    SecondTimerTest() {
        QObject::connect(&timer, &SecondTimer::timeout, [this] { ++fired; });
    }
    void expireAt(const QTime& t) {
        clock.setTime(t);
        timer.fire();
    }
};

TEST_F(SecondTimerTest, FiresOncePerSecondJustAfterTheBoundary) {
    timer.setEnabled(true);
    EXPECT_EQ(timer.armedMs(), 601);  // 600 ms to the boundary, then a little after it
    for (int s = 1; s <= 5; ++s) {
        expireAt(QTime(10, 0, s, 1));
        EXPECT_EQ(fired, s);
        EXPECT_EQ(timer.armedMs(), 1000);
    }
    // Late by 250 ms: fires at once, and aims for the next boundary rather than a second on.
    expireAt(QTime(10, 0, 6, 250));
    EXPECT_EQ(fired, 6);
    EXPECT_EQ(timer.armedMs(), 751);
}

TEST_F(SecondTimerTest, NeverTwiceInASecond) {
    timer.setEnabled(true);
    // Enabled within a second: that second counts as seen.
    expireAt(QTime(10, 0, 0, 999));
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(timer.armedMs(), 2);
    expireAt(QTime(10, 0, 1, 3));
    expireAt(QTime(10, 0, 1, 500));  // woke early, or twice
    expireAt(QTime(10, 0, 1, 998));
    EXPECT_EQ(fired, 1);
    expireAt(QTime(10, 0, 2, 1));
    EXPECT_EQ(fired, 2);
}

TEST_F(SecondTimerTest, ReArmsAfterTheClockSteps) {
    timer.setEnabled(true);
    expireAt(QTime(10, 0, 1, 3));
    // Set back a minute, to 200 ms into a second: fires for the new second, aims at its end.
    expireAt(QTime(9, 59, 1, 200));
    EXPECT_EQ(fired, 2);
    EXPECT_EQ(timer.armedMs(), 801);
    // Set forward an hour: one tick, not one per skipped second.
    expireAt(QTime(11, 0, 0, 10));
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(timer.armedMs(), 991);
}

TEST_F(SecondTimerTest, DisabledItStaysSilentAndReEnabledItStartsFromNow) {
    timer.setEnabled(true);
    timer.setEnabled(false);
    EXPECT_FALSE(timer.isEnabled());
    clock.setTime(QTime(10, 0, 5, 100));
    timer.setEnabled(true);
    EXPECT_EQ(timer.armedMs(), 901);
    expireAt(QTime(10, 0, 5, 500));
    EXPECT_EQ(fired, 0);
    expireAt(QTime(10, 0, 6, 3));
    EXPECT_EQ(fired, 1);
}

}  // namespace
