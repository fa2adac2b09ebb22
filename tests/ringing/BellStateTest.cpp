#include "ringing/BellState.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <functional>

#include "QtPrint.h"
#include "TempDir.h"
#include "calendar/SchoolCalendar.h"
#include "core/IniFile.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePlayerBackend.h"
#include "fakes/LogRecorder.h"
#include "randommusic/RandomPlaylist.h"
#include "ringing/ClockTick.h"
#include "ringing/NextEventHint.h"
#include "ringing/PlaybackControl.h"
#include "ringing/RingScheduler.h"
#include "schedule/ScheduleFixture.h"

namespace {

QDateTime at(int h, int m, int s, int ms = 0) {
    return QDateTime(QDate(2026, 12, 7), QTime(h, m, s, ms), Qt::UTC);
}

const QString kNext = "事件提示：下一个事件 8 时0 分0 秒 <<<上课>>>";
const QString kFailed = "事件提示：无法播放<<<a.mp3>>>（坏了）";
const QString kMissing = "事件提示：没有输出";

TEST(BellStateTest, TheHintShowsCountdownThenMessageThenMissingOutputThenNextEvent) {
    const struct {
        const char* name;
        std::function<void(BellState&)> steps;
        QString hint;
    } cases[] = {
        {"the next event", [](BellState& s) { s.setNextEvent(kNext); }, kNext},
        {"a failure after it",
         [](BellState& s) {
             s.setNextEvent(kNext);
             s.setMessage(kFailed);
         },
         kFailed},
        {"the next event named again ends the message",
         [](BellState& s) {
             s.setMessage(kFailed);
             s.setNextEvent(kNext);
         },
         kNext},
        {"a countdown beats a failure that comes during it",
         [](BellState& s) {
             s.setNear(at(8, 0, 0), "上课", at(7, 59, 52, 600));
             s.setMessage(kFailed);
         },
         "事件提示：8 秒钟后播放<<<上课>>>音乐"},
        {"the message stands again when the countdown ends without a ring",
         [](BellState& s) {
             s.setMessage(kFailed);
             s.setNear(at(8, 0, 0), "上课", at(7, 59, 52));
             s.clearNear();
         },
         kFailed},
        {"a missing output outlasts the next naming of the next event",
         [](BellState& s) {
             s.setOutputMissing(true, kMissing);
             s.setNextEvent(kNext);
         },
         kMissing},
        {"an output that is back is said once, then the next event",
         [](BellState& s) {
             s.setOutputMissing(true, kMissing);
             s.setOutputMissing(false, "事件提示：声音输出设备已恢复");
             s.setNextEvent(kNext);
         },
         kNext},
        {"the countdown never goes below zero",
         [](BellState& s) {
             s.setNear(at(8, 0, 0), "上课", at(7, 59, 50));
             s.updateCountdown(at(8, 0, 7));
         },
         "事件提示：0 秒钟后播放<<<上课>>>音乐"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BellState state;
        QStringList shown;
        QObject::connect(&state, &BellState::hintChanged,
                         [&](const QString& text) { shown << text; });
        c.steps(state);
        EXPECT_EQ(state.hint(), c.hint);
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown.last(), c.hint);  // the window is told what the rule decided
        for (qsizetype i = 1; i < shown.size(); ++i) {
            EXPECT_NE(shown[i], shown[i - 1]);  // only changes are told
        }
    }
}

TEST(BellStateTest, TheStartUpWaitsFourTicksThenItsMomentStaysUntilEnded) {
    BellState state;
    QList<int> counts;
    for (int i = 0; i < 6; ++i) {
        counts << state.startupCount();
        state.startupTick();
    }
    EXPECT_EQ(counts, (QList<int>{16, 15, 14, 13, 12, 12}));
    EXPECT_TRUE(state.startupDue());
    state.endStartup();
    EXPECT_FALSE(state.startupDue() || state.startupWaiting());
    EXPECT_EQ(state.countdown(), 0);  // the start-up is not a countdown to an event
}

// The ringing classes on their own, over the bell's state: no window. Each second the two
// timers tick in one order or the other; what the lines say must not depend on it.
struct RingingParts {
    DataFolder data;
    TempDir folder;
    FakeClock clock{at(7, 59, 48)};
    LogRecorder log{clock};
    FakePlayerBackend* backend = new FakePlayerBackend;
    TMediaPlayer mp1{std::unique_ptr<PlayerBackend>(backend)};
    IniFile settings{folder.file("config.ini")};
    RandomPlaylist music{folder.file("随机音乐"), settings};
    SchoolCalendar calendar;
    ScheduleTable table;
    BellState state;
    NextEventHint hint{table, clock, calendar, state};
    PlaybackControl playback{mp1, table, music, state, log.log, folder.path()};
    RingScheduler scheduler{table, mp1, playback, hint, state, log.log, clock, calendar};
    ClockTick clockTick{
        state,
        mp1,
        settings,
        log.log,
        clock,
        calendar,
        folder.file("sys.mp3"),
        ClockTick::Actions{
            [](const QDateTime&) {}, [] {}, [] {}, [] { return std::optional<QTime>(); }, {}}};

    explicit RingingParts(const QString& bell) {
        data.fill("temp.dat", {makeRow(8, 0, 0, "上课", bell), makeRow(8, 0, 20, "下课", bell)});
        table.setFolder(data.path());
        table.open("temp.dat");
        state.endStartup();
        state.setRinging(true);
        scheduler.start();
        hint.ShowHintByClock();
        QObject::connect(&mp1, &TMediaPlayer::PlaybackFailed,
                         [this](const QString& file, const QString& reason, const QString&) {
                             playback.PlaybackFailed(file, reason);
                         });
    }
    // One second, both timers; returns the hint and status lines after it.
    QString second(const QDateTime& t, bool ringFirst) {
        clock.set(t.addMSecs(3));
        backend->advance(1000);
        if (ringFirst) {
            scheduler.tmr1Timer();
            clockTick.tmr2Timer();
        } else {
            clockTick.tmr2Timer();
            scheduler.tmr1Timer();
        }
        QCoreApplication::sendPostedEvents();
        return state.hint() + " | " + state.status();
    }
};

TEST(RingingWithoutWindowTest, TheLinesSayTheSameWhicheverTimerTicksFirst) {
    TempDir sounds;
    const QString bell = sounds.write("bell.mp3", "sound");
    QStringList seen[2];
    for (const bool ringFirst : {true, false}) {
        RingingParts parts(bell);
        for (QDateTime t = at(7, 59, 49); t <= at(8, 0, 21); t = t.addSecs(1)) {
            if (t == at(8, 0, 2)) {
                parts.backend->failPlaying("坏了");  // the first bell's sound fails
            }
            seen[ringFirst ? 0 : 1] << parts.second(t, ringFirst);
        }
        EXPECT_EQ(parts.log.of("ring").size(), 2) << ringFirst;
    }
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[0].at(1), "事件提示：10 秒钟后播放<<<上课>>>音乐 | 播放状态：空闲");
    // After the failure the line says so, until the next bell's countdown takes it over.
    EXPECT_TRUE(seen[0].at(13).startsWith("事件提示：无法播放<<<bell.mp3>>>（坏了）"));
    EXPECT_TRUE(seen[0].at(20).startsWith("事件提示：无法播放"));
    EXPECT_TRUE(seen[0].at(21).startsWith("事件提示：10 秒钟后播放<<<下课>>>音乐"));
    EXPECT_TRUE(seen[0].last().startsWith("事件提示：已经是最后一个事件"));
}

}  // namespace
