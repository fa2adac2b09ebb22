// The coming bell's sound is made ready at the look-ahead and only swapped in at its second;
// what goes wrong with a sound while it plays, or with the audio output, is said.
#include <sys/stat.h>

#include <QDir>

#include "EventWait.h"
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
    EXPECT_EQ(
        dialogs.notices,
        QStringList{"没有可用的声音输出设备，铃声播放出来也听不到。请检查音箱、声卡和声音设置。"});
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

// Hostile sound files, each named by a row with a good row 2 s after it, played by the real
// back end: each is said once, naming the file, and the good row rings on its second.
TEST_F(PrerollTest, HostileSoundFilesAreSaidOnceAndTheNextRowRingsOnItsSecond) {
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK", "fakesink sync=true"};
    realPlayer = true;
    const QString music = folder.file("Music/");
    QDir().mkpath(music);
    const QString mp3 = music + "tone.mp3";
    ASSERT_TRUE(testmedia::encode(mp3, "mp3", 1500));
    QFile whole(mp3);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray mp3Bytes = whole.readAll();
    auto make = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    QByteArray noise;
    for (int i = 0; i < 4096; ++i) {
        noise += static_cast<char>((i * 2654435761u) >> 13);
    }
    enum Outcome { Refused, Rings };
    struct Case {
        QString path;
        Outcome outcome;
    };
    const QString longName = music + QString(80, QChar(0x94C3)) + "-bell-tune1.mp3";  // 255 bytes
    const std::vector<Case> cases = {
        {music + "empty.mp3", Refused},
        {music + "truncated.mp3", Rings},  // what is there plays
        {music + "noise.mid", Refused},
        {music + "mp3-inside.wma", Rings},
        {music + "folder.wav", Refused},
        {music + "pipe.mp3", Refused},
        {music + "loop.mp3", Refused},
        {music + "removed.wav", Refused},
        {longName, Rings},
        {music + "two\nlines.mp3", Rings},
    };
    ASSERT_TRUE(make(cases[0].path, {}));
    ASSERT_TRUE(make(cases[1].path, mp3Bytes.left(mp3Bytes.size() / 3)));
    ASSERT_TRUE(make(cases[2].path, noise));
    ASSERT_TRUE(make(cases[3].path, mp3Bytes));
    ASSERT_TRUE(QDir().mkpath(cases[4].path));
    ASSERT_EQ(::mkfifo(cases[5].path.toUtf8().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(cases[6].path, cases[6].path));
    testmedia::writeWav(cases[7].path, 300);
    ASSERT_EQ(longName.toUtf8().size() - music.toUtf8().size(), 255);
    ASSERT_TRUE(make(cases[8].path, mp3Bytes));
    ASSERT_TRUE(make(cases[9].path, mp3Bytes));
    const QString good = music + "good.wav";
    testmedia::writeWav(good, 300);

    std::vector<ScheduleRow> rows;
    for (size_t i = 0; i < cases.size(); ++i) {
        const int s = static_cast<int>(i) * 4;
        rows.push_back(makeRow(8, 0, s, QString("h%1").arg(i), cases[i].path));
        rows.push_back(makeRow(8, 0, s + 2, QString("g%1").arg(i), good));
    }
    fill("temp.dat", rows);
    startRinging(at(0, 7, 59, 50));
    const int removedAt = 7 * 4;
    for (QDateTime t = at(0, 7, 59, 50); t <= at(0, 8, 0, 40); t = t.addSecs(1)) {
        if (t == at(0, 8, 0, removedAt - 1)) {
            QFile::remove(cases[7].path);  // after the look-ahead made it ready
        }
        tick(t);
        waitUntil([] { return false; }, 50);  // the player's messages arrive as they would
    }
    waitUntil([] { return false; }, 500);

    QStringList expectedGood;
    for (size_t i = 0; i < cases.size(); ++i) {
        expectedGood
            << QString("08:00:%1 g%2 %3").arg(i * 4 + 2, 2, 10, QChar('0')).arg(i).arg(good);
    }
    const QStringList rung = rings();
    for (const QString& line : expectedGood) {
        EXPECT_TRUE(rung.contains(line)) << line.toStdString();
    }
    for (const Case& c : cases) {
        const QString named = QString(c.path).replace("\n", "\\n");
        int refusals = 0;
        int ringsOfIt = 0;
        for (const QString& line : log.lines) {
            const QString kind = line.section(' ', 1, 1);
            refusals += (kind == "missing-file" || kind == "error") && line.contains(named);
            ringsOfIt += kind == "ring" && line.endsWith(named);
        }
        EXPECT_EQ(refusals, c.outcome == Refused ? 1 : 0) << named.toStdString() << "\n"
                                                          << log.lines.join("\n").toStdString();
        EXPECT_EQ(ringsOfIt, c.outcome == Rings ? 1 : 0) << named.toStdString();
    }
    for (const QString& line : log.lines) {
        EXPECT_FALSE(line.contains('\n')) << line.toStdString();
    }
}

}  // namespace
