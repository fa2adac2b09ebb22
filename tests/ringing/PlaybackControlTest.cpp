#include <QCoreApplication>
#include <QLabel>

#include "ScopedEnv.h"
#include "app/FormFixture.h"
#include "media/TMediaPlayer.h"
#include "randommusic/RandomPlaylist.h"
#include "ringing/PlaybackControl.h"

namespace {

using PlaybackControlTest = FormFixture;

TEST(DeviceTypeTest, OnlyAMidExtensionOpensTheSequencer) {
    EXPECT_EQ(PlaybackControl::deviceTypeFor("D:\\bells\\Ring.Mid"), dtSequencer);
    EXPECT_EQ(PlaybackControl::deviceTypeFor("/home/bell/ring.MID"), dtSequencer);
    EXPECT_EQ(PlaybackControl::deviceTypeFor("D:\\bells\\ring.midi"), dtAutoSelect);
    EXPECT_EQ(PlaybackControl::deviceTypeFor("D:\\bells\\ring.wav"), dtAutoSelect);
    EXPECT_EQ(PlaybackControl::deviceTypeFor("D:\\v1.5\\ring"), dtAutoSelect);
    EXPECT_EQ(PlaybackControl::deviceTypeFor("/bells/v1.mid/ring"), dtAutoSelect);
    EXPECT_EQ(PlaybackControl::deviceTypeFor("随机音乐"), dtAutoSelect);
}

TEST_F(PlaybackControlTest, TestPlayPlaysTheHighlightedRowEvenBeforeAnythingElsePlayed) {
    const QString bell = sound("Music/bell.mid");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell), makeRow(9, 0, 0, "下课", "/gone.mp3")});
    TForm1& f = start();
    ASSERT_FALSE(f.mp1->isOpen());
    f.dbsmtbl1.setRecNo(1);
    f.btn6Click();
    EXPECT_EQ(backend->opened, QStringList{bell});
    EXPECT_EQ(backend->types.back(), dtSequencer);
    EXPECT_TRUE(backend->playing());
    EXPECT_EQ(f.randomMusic().PlayIndex, 0);
    EXPECT_EQ(f.dbsmtbl1.recNo(), 1);  // the current row does not move
    EXPECT_EQ(log.of("test-play"), QStringList{bell});
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(PlaybackControlTest, ARelativePathPlaysUnderTheProgramFolder) {
    const QString bell = sound("Music/下课 铃.wav");
    fill("temp.dat", {makeRow(8, 0, 0, "下课", "Music/下课 铃.wav")});
    TForm1& f = start();
    const ScopedCurrentDir elsewhere(QDir::rootPath());
    f.btn6Click();
    EXPECT_EQ(backend->opened, QStringList{bell});
    EXPECT_EQ(backend->types.back(), dtAutoSelect);
}

TEST_F(PlaybackControlTest, AMissingFileShowsTheMessageAndPlaysNothing) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", folder.file("Music/deleted.mp3"))});
    TForm1& f = start();
    f.btn6Click();
    EXPECT_EQ(f.lbl9->text(), "事件提示：文件不存在，请选择正确的声音文件！");
    EXPECT_TRUE(backend->opened.isEmpty());
    EXPECT_EQ(log.of("missing-file"), QStringList{folder.file("Music/deleted.mp3")});
}

TEST_F(PlaybackControlTest, AnEmptyTableDoesNothing) {
    TForm1& f = start();
    const QString hint = f.lbl9->text();
    f.btn6Click();
    EXPECT_TRUE(backend->opened.isEmpty());
    EXPECT_EQ(f.lbl9->text(), hint);
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(PlaybackControlTest, RandomRowWithAnEmptyFolderStopsAndPlaysNothing) {
    fill("temp.dat", {makeRow(12, 0, 0, "午休", "随机音乐")});
    TForm1& f = start();
    f.btn6Click();
    EXPECT_TRUE(backend->opened.isEmpty());
    EXPECT_EQ(f.randomMusic().PlayIndex, 0);
    EXPECT_TRUE(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
}

TEST_F(PlaybackControlTest, RandomRowPlaysTheFirstTuneOfAFreshPlaylist) {
    tunes(6);
    sound("随机音乐/zz.mid");  // a MIDI tune in the pool still opens as the row says
    fill("temp.dat", {makeRow(12, 0, 0, "午休", "随机音乐")});
    TForm1& f = start();
    f.btn6Click();
    ASSERT_EQ(backend->opened.size(), 1);
    EXPECT_EQ(backend->opened.front(), f.randomMusic().playlist().front());
    EXPECT_EQ(backend->types.back(), dtAutoSelect);  // from the row's field, not the tune
    EXPECT_EQ(f.randomMusic().PlayIndex, 1);
    EXPECT_EQ(f.randomMusic().playlist().size(), 4);
    EXPECT_EQ(log.of("test-play"), QStringList{backend->opened.front()});
}

TEST_F(PlaybackControlTest, StopEndsThePlaylistAndShowsIdle) {
    tunes(6);
    fill("temp.dat", {makeRow(12, 0, 0, "午休", "随机音乐")});
    TForm1& f = start();
    f.btn6Click();
    f.bell().setStatus("播放状态：正在播放<<<x>>>(0:03)");  // as the clock tick shows it
    f.btn3Click();
    EXPECT_FALSE(backend->playing());
    EXPECT_EQ(f.randomMusic().PlayIndex, RandomPlaylist::kNoPlaylist);
    EXPECT_EQ(f.lbl2->text(), "播放状态：空闲");
    EXPECT_EQ(log.of("stop").size(), 1);
    // Stop on a player that never opened is harmless too.
    form.reset();
    TForm1& g = start();
    g.btn3Click();
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(PlaybackControlTest, ModeLabelFollowsTheNotifications) {
    const QString a = sound("Music/a.wav");
    const QString b = sound("Music/b.wav");
    fill("temp.dat", {makeRow(8, 0, 0, "a", a), makeRow(9, 0, 0, "b", b)});
    TForm1& f = start();
    EXPECT_EQ(f.lbl3->text(), "lbl3");
    f.dbsmtbl1.setRecNo(1);
    f.btn6Click();
    backend->runToEnd();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.lbl3->text(), "停止");
    f.dbsmtbl1.setRecNo(2);
    f.btn6Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.lbl3->text(), "正在播放");
    f.btn3Click();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.lbl3->text(), "停止");
}

TEST_F(PlaybackControlTest, AFileThePlayerCannotOpenIsReported) {
    const QString bad = sound("Music/bad.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "a", bad)});
    TForm1& f = start();
    backend->broken.insert(bad);
    f.guard().run([&] { f.btn6Click(); });
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.front().contains("damaged"));
    EXPECT_FALSE(f.mp1->isOpen());
}

}  // namespace
