#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "core/SecondTimer.h"
#include "ringing/ClockTick.h"
#include "ringing/NextEventHint.h"
#include "ringing/SchedulerFixture.h"

namespace {

struct ClockTickTest : SchedulerFixture {
    // The first four ticks of a start at `when`; returns the status line after each.
    QStringList startUp(const QDateTime& when) {
        clock.set(when);
        start();
        QStringList status;
        for (int i = 0; i < 4; ++i) {
            clockTick(when.addSecs(i + 1));
            status << form->lbl2->text();
        }
        return status;
    }
};

TEST(MinSecTextTest, Examples) {
    EXPECT_EQ(ClockTick::MinSecText(65432), "1:05");
    EXPECT_EQ(ClockTick::MinSecText(9999), "0:09");
    EXPECT_EQ(ClockTick::MinSecText(600000), "10:00");
    EXPECT_EQ(ClockTick::MinSecText(0), "0:00");
    EXPECT_EQ(ClockTick::MinSecText(3725000), "62:05");
    EXPECT_EQ(ClockTick::dateLine(QDate(2026, 12, 8)), "2026年12月8日    星期二");
    EXPECT_EQ(ClockTick::dateLine(QDate(2011, 12, 25)), "2011年12月25日    星期日");
}

TEST_F(ClockTickTest, WorkingDayStartWaitsThenPlaysTheTuneAndSwitchesRingingOn) {
    sound("sys.mp3");
    writeConfig("[Set]\nAuto_Play=1\n");
    const QStringList status = startUp(at(2, 7, 0, 0));  // a Wednesday
    EXPECT_EQ(status[0], "播放状态：等待 4 秒后才能进入播放状态");
    EXPECT_EQ(status[1], "播放状态：等待 3 秒后才能进入播放状态");
    EXPECT_EQ(status[2], "播放状态：等待 2 秒后才能进入播放状态");
    EXPECT_EQ(status[3], "播放状态：正在播放<<<启动音乐>>>");
    EXPECT_EQ(backend->opened, QStringList{folder.file("sys.mp3")});
    EXPECT_TRUE(backend->playing());
    EXPECT_TRUE(form->chk1->isChecked());
    EXPECT_TRUE(form->tmr1->isEnabled());
    EXPECT_FALSE(form->rg1->isEnabled());
    EXPECT_EQ(form->bell().startupCount(), 11);
    EXPECT_EQ(log.of("startup-tune"), QStringList{folder.file("sys.mp3")});
    EXPECT_EQ(setting("Auto_Play"), 1);

    // Later ticks show the tune's progress, then idle once it has ended.
    clockTick(at(2, 7, 0, 5));
    EXPECT_EQ(form->lbl2->text(), "播放状态：正在播放<<<启动音乐>>>");  // no notification yet
    clockTick(at(2, 7, 0, 6));
    clockTick(at(2, 7, 0, 7));
    EXPECT_EQ(form->lbl2->text(), "播放状态：空闲");
}

TEST_F(ClockTickTest, WeekendStartPlaysTheTuneButLeavesRingingOff) {
    sound("sys.mp3");
    writeConfig("[set]\nauto_play=1\n");
    startUp(at(5, 7, 0, 0));  // a Saturday
    EXPECT_TRUE(backend->playing());
    EXPECT_FALSE(form->chk1->isChecked());
    // The whole text is the hint (the line shows it shortened, with the rest as tool tip).
    EXPECT_EQ(form->bell().hint(), "事件提示：今天是周末，如果要进行工作，请手动选择<自动播放>");
}

TEST_F(ClockTickTest, AutoPlayOffLeavesRingingOffWithoutAMessage) {
    sound("sys.mp3");
    writeConfig("[Set]\nAuto_Play=2\n");
    startUp(at(0, 7, 0, 0));
    EXPECT_TRUE(backend->playing());
    EXPECT_FALSE(form->chk1->isChecked());
    EXPECT_NE(form->lbl9->text(), "事件提示：今天是周末，如果要进行工作，请手动选择<自动播放>");
}

TEST_F(ClockTickTest, AMissingTuneIsShownButTheBellsStillRing) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(7, 0, 8, "上课", bell)});
    writeConfig("[Set]\nAuto_Play=1\n");
    startUp(at(0, 7, 0, 0));
    EXPECT_EQ(form->lbl9->text(), "事件提示：文件不存在，请重新安装程序！");
    EXPECT_TRUE(form->chk1->isChecked());
    EXPECT_EQ(log.of("missing-file"), QStringList{folder.file("sys.mp3")});
    for (int s = 5; s <= 9; ++s) {
        tick(at(0, 7, 0, s));
        clockTick(at(0, 7, 0, s));
    }
    EXPECT_EQ(rings().size(), 1);
    EXPECT_EQ(log.of("missing-file").size(), 1);  // not said again every second
}

TEST_F(ClockTickTest, ATuneThePlayerCannotOpenIsReportedOnceAndRetried) {
    const QString tune = sound("sys.mp3");
    writeConfig("[Set]\nAuto_Play=1\n");
    clock.set(at(0, 7, 0, 0));
    start();
    backend->broken.insert(tune);
    for (int i = 1; i <= 6; ++i) {
        clockTick(at(0, 7, 0, i));
    }
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(form->bell().startupCount(), 12);
    EXPECT_TRUE(form->chk1->isChecked());  // ringing does not wait for the tune
    backend->broken.clear();
    clockTick(at(0, 7, 0, 7));
    EXPECT_TRUE(backend->playing());
    EXPECT_EQ(form->bell().startupCount(), 11);
}

TEST_F(ClockTickTest, PreRingCountdownCountsTenToOneWhicheverTimerTicksFirst) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell), makeRow(8, 1, 0, "下课", bell)});
    TForm1& f = startRinging(at(0, 7, 59, 40));
    f.bell().endStartup();
    QStringList shown;
    for (int s = 50; s < 60; ++s) {  // ring tick first
        tick(at(0, 7, 59, s));
        clockTick(at(0, 7, 59, s));
        shown << f.lbl9->text();
    }
    EXPECT_EQ(shown.front(), "事件提示：10 秒钟后播放<<<上课>>>音乐");
    EXPECT_EQ(shown.back(), "事件提示：1 秒钟后播放<<<上课>>>音乐");
    tick(at(0, 8, 0, 0));
    QStringList second;
    for (int s = 50; s < 60; ++s) {  // clock tick first
        clockTick(at(0, 8, 0, s));
        tick(at(0, 8, 0, s));
        second << f.lbl9->text();
    }
    EXPECT_EQ(second.front(), "事件提示：10 秒钟后播放<<<下课>>>音乐");
    EXPECT_EQ(second.back(), "事件提示：1 秒钟后播放<<<下课>>>音乐");
}

TEST_F(ClockTickTest, CountdownStopsAtZeroWhenTheRingIsLateAndEndsWhenSwitchedOff) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", sound("Music/bell.mp3"))});
    TForm1& f = startRinging(at(0, 7, 59, 50));
    tick(at(0, 7, 59, 50));
    ASSERT_TRUE(f.EventNear());
    // The ring timer is held up; the clock ticks on past the event's second.
    for (int s = 51; s < 70; ++s) {
        clockTick(at(0, 7, 59, 0).addSecs(s));
        EXPECT_GE(f.countdown(), 0);
    }
    EXPECT_EQ(f.lbl9->text(), "事件提示：0 秒钟后播放<<<上课>>>音乐");
    f.chk1->setChecked(false);
    EXPECT_FALSE(f.EventNear());
    // The countdown's text does not stay behind: the line names the event again.
    EXPECT_EQ(f.lbl9->text(), NextEventHint::rowText(8, 0, 0, "上课"));
}

TEST_F(ClockTickTest, DailyRefreshAtNoonReopensTheTableOnce) {
    fill("temp.dat", {makeRow(13, 0, 0, "下午", sound("Music/bell.mp3"))});
    clock.set(at(0, 12, 12, 0));
    TForm1& f = start();
    const auto opens = log.of("table-open").size();
    f.bell().setMessage("overwritten");
    for (int s = 1; s <= 20; ++s) {
        clockTick(at(0, 12, 12, s));
        if (s == 12) {
            clockTick(at(0, 12, 12, s));  // twice in that second
        }
    }
    EXPECT_EQ(log.of("table-open").size(), opens + 1);
    EXPECT_EQ(f.lbl9->text(), NextEventHint::rowText(13, 0, 0, "下午"));
}

TEST_F(ClockTickTest, DailyStepsLostInAClockGapAreLoggedAsMissed) {
    writeConfig("[Set]\nAutoClose=1\n[CloseTime]\nHour=17\nMinute=30\nSecond=0\n");
    clock.set(at(0, 12, 0, 0));
    start();
    clockTick(at(0, 12, 0, 1));
    clockTick(at(1, 18, 0, 0));  // resumed the next evening
    EXPECT_EQ(log.of("missed"),
              (QStringList{
                  "2026-12-07T12:12:12 12:12:12 重新选择时间表", "2026-12-07T17:30:00 定时关机",
                  "2026-12-08T12:12:12 12:12:12 重新选择时间表", "2026-12-08T17:30:00 定时关机"}));
    EXPECT_EQ(power->requests, 0);
}

TEST_F(ClockTickTest, ProgressShowsTheFileAndTimeLeft) {
    sound("sys.mp3");
    const QString bell = sound("Music/上课 铃.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell)});
    writeConfig("[Set]\nAuto_Play=1\n");
    startUp(at(0, 7, 59, 50));  // the start-up tune plays, ringing goes on
    backend->runToEnd();        // the player reports its mode from the tune's end on
    QCoreApplication::sendPostedEvents();
    backend->lengths[bell] = 65432;
    run(at(0, 7, 59, 55), at(0, 8, 0, 0));
    clockTick(at(0, 8, 0, 1));
    EXPECT_EQ(form->lbl3->text(), "正在播放");
    EXPECT_EQ(form->lbl2->text(), "播放状态：正在播放<<<上课 铃.mp3>>>(1:04)");
}

}  // namespace
