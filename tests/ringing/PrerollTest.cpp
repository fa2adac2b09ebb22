// The coming bell's sound is made ready at the look-ahead and only swapped in at its second;
// what goes wrong with a sound while it plays, or with the audio output, is said.
#include <sys/stat.h>

#include <QDir>

#include "ScopedEnv.h"
#include "media/TestMedia.h"
#include "ringing/OutputNotice.h"
#include "ringing/SchedulerFixture.h"

namespace {

using PrerollTest = SchedulerFixture;

TEST_F(PrerollTest, TheLookAheadPreparesTheFileOrFirstTuneAndTheRingTakesItUp) {
    tunes(8);
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell), makeRow(8, 1, 0, "午休", "随机音乐")});
    TForm1& f = startRinging(at(0, 7, 59, 50));
    tick(at(0, 7, 59, 50));
    EXPECT_EQ(backend->prepared, QStringList{bell});
    run(at(0, 7, 59, 51), at(0, 8, 0, 0));
    EXPECT_EQ(backend->swaps, 1);
    EXPECT_EQ(rings(), QStringList{"08:00:00 上课 " + bell});

    // A random row: its playlist is drawn at the look-ahead, shown only when it rings.
    int redrawn = 0;
    QObject::connect(&f.randomMusic(), &RandomPlaylist::rebuilt, [&] { ++redrawn; });
    run(at(0, 8, 0, 1), at(0, 8, 0, 50));
    ASSERT_EQ(backend->prepared.size(), 2);
    const QString tune = backend->prepared.last();
    EXPECT_EQ(redrawn, 0);
    run(at(0, 8, 0, 51), at(0, 8, 1, 0));
    EXPECT_EQ(backend->swaps, 2);
    EXPECT_EQ(backend->current(), tune);
    EXPECT_EQ(f.randomMusic().playlist().front(), tune);
    EXPECT_EQ(f.randomMusic().PlayIndex, 1);
    EXPECT_EQ(redrawn, 1);
}

TEST_F(PrerollTest, TestPlayTableSwitchAndRingingOffDropWhatWasPrepared) {
    const QString bell = sound("Music/bell.mp3");
    const QString other = sound("Music/other.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell), makeRow(9, 0, 0, "x", other)});
    fill("xiaqing.dat", {makeRow(8, 0, 0, "上课", bell)});
    const struct {
        const char* name;
        std::function<void(TForm1&)> act;
    } cases[] = {
        {"test play", [](TForm1& f) { f.btn6Click(); }},
        {"table switch", [](TForm1& f) { f.rg1->setItemIndex(1); }},
        {"ringing off", [](TForm1& f) { f.chk1->setChecked(false); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TForm1& f = startRinging(at(0, 7, 59, 55));
        tick(at(0, 7, 59, 55));
        ASSERT_EQ(backend->standby(), bell);
        c.act(f);
        EXPECT_TRUE(backend->standby().isEmpty());
        EXPECT_TRUE(f.mp1->prepared().isEmpty());
        form.reset();
    }
}

TEST_F(PrerollTest, AnOutputThatGoesMissingIsSaidOnceAndMarksTheRingsSilent) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell), makeRow(8, 0, 5, "下课", bell)});
    TForm1& f = startRinging(at(0, 7, 59, 59));
    backend->outputChanged(false);
    backend->outputChanged(false);
    run(at(0, 7, 59, 59), at(0, 8, 0, 0));
    EXPECT_EQ(log.of("audio-output-missing").size(), 2);
    EXPECT_EQ(dialogs.notices, QStringList{QString::fromUtf16(OutputNotice::missingText())});
    EXPECT_EQ(rings(), QStringList{"08:00:00 上课 " + bell + " silent"});
    backend->outputChanged(true);
    run(at(0, 8, 0, 1), at(0, 8, 0, 5));
    EXPECT_EQ(log.of("audio-output-back").size(), 1);
    EXPECT_EQ(rings().last(), "08:00:05 下课 " + bell);
    EXPECT_EQ(dialogs.notices.size(), 1);
    (void)f;
}

TEST_F(PrerollTest, AFailureWhilePlayingIsLoggedWithTheFileAndEndsThePlayingStatus) {
    const QString bell = sound("Music/bell.mp3");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell)});
    TForm1& f = startRinging(at(0, 8, 0, 0));
    tick(at(0, 8, 0, 0));
    f.tmr2Timer();
    backend->failPlaying("Internal data stream error.");
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(log.of("error"), QStringList{bell + ": Internal data stream error."});
    f.tmr2Timer();
    EXPECT_EQ(f.lbl3->text(), "停止");
    EXPECT_EQ(f.lbl2->text(), "播放状态：空闲");
    EXPECT_TRUE(f.lbl9->text().contains("bell.mp3"));
}

TEST_F(PrerollTest, AFifoOrFolderAsASoundIsRefusedAndTheNextRowRingsOnItsSecond) {
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK", "fakesink sync=true"};
    realPlayer = true;
    const QString fifo = folder.file("Music/pipe.mp3");
    QDir().mkpath(folder.file("Music"));
    ASSERT_EQ(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
    const QString dir = folder.file("Music/folder.wav");
    QDir().mkpath(dir);
    const QString wav = folder.file("Music/ok.wav");
    testmedia::writeWav(wav, 300);
    fill("temp.dat",
         {makeRow(8, 0, 0, "a", fifo), makeRow(8, 0, 2, "b", dir), makeRow(8, 0, 4, "c", wav)});
    startRinging(at(0, 7, 59, 50));
    run(at(0, 7, 59, 50), at(0, 8, 0, 4));
    EXPECT_EQ(rings(), QStringList{"08:00:04 c " + wav});
    EXPECT_EQ(log.of("missing-file"), (QStringList{fifo, dir}));
}

}  // namespace
