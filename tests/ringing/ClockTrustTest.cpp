#include "ringing/ClockTrust.h"

#include <QLabel>
#include <deque>

#include "app/FormFixture.h"
#include "core/ClockSync.h"
#include "ringing/BellState.h"

namespace {

// The kernel's answers, one per read, as the test lists them.
struct FakeClockSync : ClockSync {
    std::optional<ClockSyncReading> read() override {
        ++reads;
        if (readings.empty()) {
            return std::nullopt;
        }
        const std::optional<ClockSyncReading> r = readings.front();
        readings.pop_front();
        return r;
    }
    std::deque<std::optional<ClockSyncReading>> readings;
    int reads = 0;
};

TEST(ClockTrustTest, EachChangeIsOneLineAndTheNoteFollowsIt) {
    FakeClock clock;
    LogRecorder log{clock};
    BellState state;
    FakeClockSync sync;
    sync.readings = {ClockSyncReading{false, 16'000'000}, std::nullopt,
                     ClockSyncReading{true, 5'000}, ClockSyncReading{true, 4'000},
                     ClockSyncReading{false, 2'500'000}};
    ClockTrust trust(sync, log.log, state);
    const QDateTime start = clock.now();
    QStringList notes;
    for (int tick = 0; tick <= 5 * 600; ++tick) {  // a tick a second for fifty minutes
        trust.check(start.addSecs(tick));
        if (notes.isEmpty() || notes.last() != state.clockNote()) {
            notes << state.clockNote();
        }
    }
    EXPECT_EQ(sync.reads, 6);  // at start, then every ten minutes
    EXPECT_EQ(log.of("clock-unsynced"), (QStringList{"16.000 s", "2.500 s"}));
    EXPECT_EQ(log.of("clock-synced").size(), 1);
    EXPECT_EQ(notes, (QStringList{
                         "时钟未同步（估计误差 16.0 秒）：请打开网络校时，否则各处铃声会不一致", "",
                         "时钟未同步（估计误差 2.5 秒）：请打开网络校时，否则各处铃声会不一致"}));
}

struct ClockTrustWindowTest : FormFixture {};

TEST_F(ClockTrustWindowTest, AnUnsyncedClockTurnsTheDateLineRedWithTheNoteInItsTip) {
    auto sync = std::make_unique<FakeClockSync>();
    sync->readings = {ClockSyncReading{false, 2'000'000}, ClockSyncReading{true, 0}};
    clockSync = std::move(sync);
    TForm1& f = start();
    f.tmr2Timer();
    EXPECT_TRUE(f.lbl12->toolTip().contains("时钟未同步"));
    EXPECT_EQ(f.lbl12->palette().color(QPalette::WindowText), QColor(220, 0, 0));
    clock.advance(600);
    f.tmr2Timer();
    EXPECT_FALSE(f.lbl12->toolTip().contains("时钟未同步"));
    EXPECT_EQ(f.lbl12->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

}  // namespace
