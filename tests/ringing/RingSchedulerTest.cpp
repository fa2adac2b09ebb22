#include "ringing/BellState.h"
#include "ringing/NextEventHint.h"
#include "ringing/PlaybackControl.h"
#include "ringing/SchedulerFixture.h"

namespace {

using RingSchedulerTest = SchedulerFixture;

TEST_F(RingSchedulerTest, LooksAheadThenRingsAtTheSecondAndNamesTheNextRow) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat",
         {makeRow(8, 0, 0, "上课", bell, kMondayOnly),
          makeRow(8, 30, 0, "周二课", bell, {false, true, false, false, false, false, false}),
          makeRow(8, 45, 0, "下课", bell, kMonToFri)});
    TForm1& f = startRinging(at(0, 7, 59, 49));
    tick(at(0, 7, 59, 49));
    EXPECT_FALSE(f.EventNear());
    tick(at(0, 7, 59, 50));
    EXPECT_TRUE(f.EventNear());
    EXPECT_EQ(currentEvent(), "上课");  // the list highlights the coming row
    run(at(0, 7, 59, 51), at(0, 7, 59, 59));
    EXPECT_TRUE(backend->opened.isEmpty());
    tick(at(0, 8, 0, 0));
    EXPECT_EQ(backend->opened, QStringList{bell});
    EXPECT_TRUE(backend->playing());
    EXPECT_FALSE(f.EventNear());
    EXPECT_EQ(f.bell().startupCount(), 11);  // a bell that rings first ends the start-up
    EXPECT_EQ(f.lbl9->text(), NextEventHint::rowText(8, 45, 0, "下课"));  // skips Tuesday's row
    EXPECT_EQ(rings(), QStringList{"08:00:00 上课 " + bell});
}

TEST_F(RingSchedulerTest, ARowOffTodayIsHighlightedButNeitherNearNorRung) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell, kSundayOff)});
    TForm1& f = startRinging(at(6, 7, 59, 50));
    tick(at(6, 7, 59, 50));
    EXPECT_FALSE(f.EventNear());
    EXPECT_EQ(f.dbsmtbl1.recNo(), 1);
    run(at(6, 7, 59, 51), at(6, 8, 0, 5));
    EXPECT_TRUE(rings().isEmpty());
    EXPECT_TRUE(backend->opened.isEmpty());
}

TEST_F(RingSchedulerTest, AfterTheLastRowOfTheDayTheHintSaysSo) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat",
         {makeRow(16, 0, 0, "放学", bell, kMonToFri),
          makeRow(17, 0, 0, "周末", bell, {false, false, false, false, false, true, true}),
          makeRow(18, 0, 0, "周末2", bell, {false, false, false, false, false, true, true})});
    TForm1& f = startRinging(at(2, 15, 59, 59));
    run(at(2, 15, 59, 59), at(2, 16, 0, 0));
    EXPECT_EQ(f.lbl9->text(), "事件提示：已经是最后一个事件");
    EXPECT_EQ(f.dbsmtbl1.recNo(), 3);
}

TEST_F(RingSchedulerTest, AMissingFileStopsTheSoundAndKeepsTheHint) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat",
         {makeRow(8, 0, 0, "上课", bell), makeRow(8, 0, 2, "下课", folder.file("Music/gone.mp3")),
          makeRow(9, 0, 0, "later", bell)});
    TForm1& f = startRinging(at(0, 8, 0, 0));
    tick(at(0, 8, 0, 0));
    ASSERT_TRUE(backend->playing());
    const QString hint = f.lbl9->text();
    EXPECT_EQ(hint, NextEventHint::rowText(8, 0, 2, "下课"));
    run(at(0, 8, 0, 1), at(0, 8, 0, 2));
    EXPECT_FALSE(backend->playing());
    EXPECT_EQ(f.lbl9->text(), "事件提示：文件不存在，请选择正确的声音文件！");
    EXPECT_EQ(currentEvent(), "下课");
    EXPECT_EQ(log.of("missing-file"), QStringList{folder.file("Music/gone.mp3")});
    run(at(0, 8, 0, 3), at(0, 8, 0, 10));  // the second has passed: no second attempt
    EXPECT_EQ(log.of("missing-file").size(), 1);
}

TEST_F(RingSchedulerTest, ARandomRowWithNoTunesStopsTheSoundAndMovesTheHintOn) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell), makeRow(8, 0, 1, "午休", "随机音乐"),
                      makeRow(9, 0, 0, "later", bell)});
    TForm1& f = startRinging(at(0, 8, 0, 0));
    run(at(0, 8, 0, 0), at(0, 8, 0, 1));
    EXPECT_FALSE(backend->playing());
    EXPECT_EQ(backend->opened.size(), 1);
    EXPECT_EQ(f.lbl9->text(), "事件提示：随机音乐文件夹里没有音乐");  // why it was silent
    EXPECT_EQ(rings().last(), "08:00:01 午休 （随机音乐文件夹里没有音乐）");
}

TEST_F(RingSchedulerTest, ARandomRowWithNothingToDrawIsSaidAtItsLookAhead) {
    fill("temp.dat", {makeRow(8, 0, 0, "午休", "随机音乐")});
    TForm1& f = startRinging(at(0, 7, 59, 50));
    tick(at(0, 7, 59, 52));
    EXPECT_EQ(f.bell().hint(),
              BellState::countdownText(8, "午休") + "（随机音乐文件夹里没有音乐）");
    EXPECT_EQ(f.lbl9->toolTip(), f.bell().hint());  // the line is too short for all of it
    run(at(0, 7, 59, 53), at(0, 8, 0, 0));
    EXPECT_EQ(f.lbl9->text(), "事件提示：随机音乐文件夹里没有音乐");
}

TEST_F(RingSchedulerTest, ADrawSizeOfZeroIsNamedAsSuchNotAsAnEmptyFolder) {
    tunes(5);
    fill("temp.dat", {makeRow(8, 0, 0, "午休", "随机音乐")});
    startRinging(at(0, 8, 0, 0));
    writeConfig("[Set]\nMusic_SJ=0\n");  // edited by hand while the program runs
    tick(at(0, 8, 0, 0));
    EXPECT_EQ(rings(), QStringList{"08:00:00 午休 （随机播放数目为 0）"});
    EXPECT_FALSE(backend->playing());
}

TEST_F(RingSchedulerTest, ARandomPlaylistPlaysToItsEndUnderTheRowThatStartedIt) {
    tunes(8);
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(12, 0, 0, "午休", "随机音乐"), makeRow(13, 0, 0, "上课", bell)});
    TForm1& f = startRinging(at(0, 12, 0, 0));
    tick(at(0, 12, 0, 0));
    EXPECT_EQ(currentEvent(), "上课");  // the hint moved on to a plain row
    // Four tunes of 3 s each, one after the other, then silence.
    run(at(0, 12, 0, 1), at(0, 12, 0, 30));
    EXPECT_EQ(backend->opened, f.randomMusic().playlist());
    EXPECT_EQ(log.of("playlist-tune").size(), 3);
    EXPECT_FALSE(backend->playing());
    EXPECT_GE(f.randomMusic().PlayIndex, 4);
}

TEST_F(RingSchedulerTest, StopEndsThePlaylist) {
    tunes(8);
    fill("temp.dat", {makeRow(12, 0, 0, "午休", "随机音乐")});
    TForm1& f = startRinging(at(0, 12, 0, 0));
    tick(at(0, 12, 0, 0));
    f.btn3Click();
    run(at(0, 12, 0, 1), at(0, 12, 0, 20));
    EXPECT_EQ(backend->opened.size(), 1);
}

TEST_F(RingSchedulerTest, AVanishedPlaylistTuneIsReportedAtEachIdleTickAndNotPassed) {
    tunes(8);
    fill("temp.dat", {makeRow(12, 0, 0, "午休", "随机音乐")});
    TForm1& f = startRinging(at(0, 12, 0, 0));
    tick(at(0, 12, 0, 0));
    QFile::remove(f.randomMusic().playlist()[1]);
    run(at(0, 12, 0, 1), at(0, 12, 0, 10));
    EXPECT_EQ(backend->opened.size(), 1);
    EXPECT_EQ(f.randomMusic().PlayIndex, 1);
    EXPECT_EQ(f.lbl9->text(), "事件提示：文件不存在，请选择正确的声音文件！");
    EXPECT_GE(log.of("missing-file").size(), 5);
}

TEST_F(RingSchedulerTest, MidnightLookAheadUsesTodayAndTheRingTheNewDay) {
    const QString bell = sound("Music/bell.mp3");
    const std::array<bool, 7> tuesdayOnly{false, true, false, false, false, false, false};
    fill("temp.dat", {makeRow(0, 0, 5, "早", bell, tuesdayOnly)});
    TForm1& f = startRinging(at(0, 23, 59, 50));
    run(at(0, 23, 59, 50), at(0, 23, 59, 59));
    EXPECT_FALSE(f.EventNear());  // Monday's flag is off
    run(at(1, 0, 0, 0), at(1, 0, 0, 5));
    EXPECT_EQ(rings().size(), 1);  // Tuesday's is on

    // The other way round: near on Monday evening, not due on Tuesday, and cleared after.
    fill("dongqing.dat", {makeRow(0, 0, 5, "早", bell, kMondayOnly)});
    f.chk1->setChecked(false);
    f.rg1->setItemIndex(2);
    f.chk1->setChecked(true);
    tick(at(7, 23, 59, 55));
    EXPECT_TRUE(f.EventNear());
    run(at(7, 23, 59, 56), at(8, 0, 0, 5));
    EXPECT_TRUE(f.EventNear());
    tick(at(8, 0, 0, 6));
    EXPECT_FALSE(f.EventNear());
    EXPECT_EQ(rings().size(), 1);
}

TEST_F(RingSchedulerTest, AnEmptyTableRingsNothing) {
    TForm1& f = startRinging(at(0, 8, 0, 0));
    run(at(0, 8, 0, 0), at(0, 8, 1, 0));
    EXPECT_FALSE(f.EventNear());
    EXPECT_TRUE(rings().isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(RingSchedulerTest, RingsBeforeThePlayerWasEverOpenedAndIdleTicksStayQuiet) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 5, "上课", bell)});
    TForm1& f = startRinging(at(0, 8, 0, 0));
    ASSERT_FALSE(f.mp1->isOpen());
    run(at(0, 8, 0, 0), at(0, 8, 0, 10));
    EXPECT_EQ(rings().size(), 1);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(RingSchedulerTest, AClosedTableIsReportedOnceUntilATableOpens) {
    QFile::remove(dataFile("xiaqing.dat"));
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 5, "上课", bell)});
    TForm1& f = start();
    f.rg1->setItemIndex(1);
    ASSERT_FALSE(f.dbsmtbl1.isOpen());
    dialogs.errors.clear();
    f.chk1->setChecked(true);  // the hint search fails: one report
    EXPECT_EQ(dialogs.errors.size(), 1);
    run(at(0, 8, 0, 0), at(0, 8, 0, 3));
    EXPECT_EQ(dialogs.errors.size(), 2);  // the ring timer says it once
    f.chk1->setChecked(false);
    f.rg1->setItemIndex(0);
    f.chk1->setChecked(true);
    run(at(0, 8, 0, 4), at(0, 8, 0, 6));
    EXPECT_EQ(rings().size(), 1);
    EXPECT_EQ(dialogs.errors.size(), 2);
}

TEST_F(RingSchedulerTest, LateTicksRingLateAndRepeatedOrBackSteppedSecondsNeverTwice) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat",
         {makeRow(8, 0, 0, "a", bell), makeRow(8, 1, 0, "b", bell), makeRow(8, 2, 0, "c", bell)});
    startRinging(at(0, 7, 59, 57));
    tick(at(0, 7, 59, 57));
    tick(at(0, 8, 0, 2));  // the event loop was busy for five seconds
    EXPECT_EQ(rings(), QStringList{"08:00:00 a " + bell});
    tick(at(0, 8, 0, 2));  // a second tick in the same second
    tick(at(0, 8, 0, 1));  // the clock stepped back
    tick(at(0, 8, 0, 0));
    run(at(0, 8, 0, 1), at(0, 8, 0, 30));
    EXPECT_EQ(rings().size(), 1);

    run(at(0, 8, 0, 55), at(0, 8, 1, 0));
    tick(at(0, 8, 0, 58));  // stepped back across the ring
    run(at(0, 8, 0, 59), at(0, 8, 1, 1));
    EXPECT_EQ(rings().size(), 2);
}

TEST_F(RingSchedulerTest, ALongGapLogsMissedRowsInsteadOfRingingThemLate) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat",
         {makeRow(8, 0, 0, "a", bell), makeRow(8, 30, 0, "b", bell), makeRow(9, 0, 0, "c", bell)});
    startRinging(at(0, 7, 59, 0));
    tick(at(0, 7, 59, 0));
    tick(at(0, 8, 40, 0));  // resumed from suspend
    EXPECT_TRUE(rings().isEmpty());
    EXPECT_EQ(log.of("missed"), (QStringList{"2026-12-07T08:00:00 a", "2026-12-07T08:30:00 b"}));
    EXPECT_EQ(log.of("clock-jump").size(), 1);
    run(at(0, 8, 59, 59), at(0, 9, 0, 0));
    EXPECT_EQ(rings().size(), 1);
    // A big step back starts afresh too: the rows ring again at their new times.
    tick(at(0, 7, 59, 59));
    tick(at(0, 8, 0, 0));
    EXPECT_EQ(rings().size(), 2);
}

TEST_F(RingSchedulerTest, AClosedTablePeriodIsLoggedOnceAsSuchNotAsAClockJump) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat",
         {makeRow(8, 0, 5, "a", bell), makeRow(8, 0, 30, "b", bell), makeRow(8, 0, 45, "c", bell)});
    TForm1& f = startRinging(at(0, 8, 0, 0));
    tick(at(0, 8, 0, 0));
    f.dbsmtbl1.close();
    run(at(0, 8, 0, 1), at(0, 8, 0, 20));
    f.dbsmtbl1.open(QStringLiteral("temp.dat"));
    tick(at(0, 8, 0, 40));
    EXPECT_EQ(log.of("table-closed"), QStringList{"2026-12-07T08:00:00 -> 2026-12-07T08:00:40"});
    EXPECT_EQ(log.of("missed"), (QStringList{"2026-12-07T08:00:05 a", "2026-12-07T08:00:30 b"}));
    EXPECT_TRUE(log.of("clock-jump").isEmpty());
    run(at(0, 8, 0, 41), at(0, 8, 0, 46));
    EXPECT_EQ(rings(), QStringList{"08:00:45 c " + bell});
}

TEST_F(RingSchedulerTest, SwitchingOffInTheLastTenSecondsClearsEventNear) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "a", bell)});
    TForm1& f = startRinging(at(0, 7, 59, 50));
    tick(at(0, 7, 59, 50));
    ASSERT_TRUE(f.EventNear());
    f.chk1->setChecked(false);
    EXPECT_FALSE(f.EventNear());
}

}  // namespace

namespace {

TEST_F(RingSchedulerTest, SwitchedOnInsideTheLastTenSecondsTheNearerRowIsTheComingOne) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell), makeRow(8, 0, 8, "下课", bell)});
    TForm1& f = startRinging(at(0, 7, 59, 56));
    tick(at(0, 7, 59, 56));
    EXPECT_TRUE(f.EventNear());
    EXPECT_EQ(f.bell().nearName(), "上课");
    EXPECT_EQ(f.bell().nearAt(), at(0, 8, 0, 0));
    run(at(0, 7, 59, 57), at(0, 8, 0, 1));
    // Right after the bell, the next row, eight seconds on, is the coming one.
    EXPECT_TRUE(f.EventNear());
    EXPECT_EQ(f.bell().nearName(), "下课");
}

// Started again by the supervisor after a crash, the program takes up where it was.
TEST_F(RingSchedulerTest, AfterACrashRingingResumesAndTheBellDueMeanwhileRingsLate) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 3, "上课", bell), makeRow(8, 0, 6, "下课", bell)});
    writeConfig("[Set]\nAuto_Play=0\n");  // the box was ticked by hand, not remembered
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden);
        clock.set(at(0, 8, 0, 4));
        TForm1& f = start();
        f.resume(ResumeState{true, hidden}, at(0, 8, 0, 1));  // crashed at 08:00:01
        f.showAtStart();
        EXPECT_EQ(f.isVisible(), !hidden);
        EXPECT_TRUE(f.chk1->isChecked());
        EXPECT_EQ(f.bell().startupCount(), 11);  // no wait, no start-up tune
        tick(at(0, 8, 0, 4));                    // the restarted program's first tick
        EXPECT_EQ(rings(), QStringList{"08:00:03 上课 " + bell});
        run(at(0, 8, 0, 5), at(0, 8, 0, 6));
        EXPECT_EQ(rings().size(), 2);
        EXPECT_TRUE(log.of("startup-tune").isEmpty());
        form.reset();
        log.lines.clear();
    }
}

TEST(ResumeStateTest, SavedStateReadsBackAndAnythingElseReadsAsNone) {
    TempDir dir;
    for (const ResumeState state : {ResumeState{true, false}, ResumeState{false, true}}) {
        ASSERT_TRUE(state.save(dir.file("state")));
        const std::optional<ResumeState> back = ResumeState::load(dir.file("state"));
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->ringing, state.ringing);
        EXPECT_EQ(back->hidden, state.hidden);
    }
    EXPECT_FALSE(ResumeState::load(dir.file("missing")).has_value());
    dir.write("damaged", "R1");
    EXPECT_FALSE(ResumeState::load(dir.file("damaged")).has_value());
}

}  // namespace
