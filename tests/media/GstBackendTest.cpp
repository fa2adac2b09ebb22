// The GStreamer back end on real files of every format the program offers, into a fake sink.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "EventWait.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "media/GstBackend.h"
#include "media/Soundfont.h"
#include "media/TestMedia.h"

namespace {

struct GstBackendTest : ::testing::Test {
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK", "fakesink sync=true"};
    TempDir dir;
    std::unique_ptr<TMediaPlayer> player;
    int notifications = 0;

    void SetUp() override {
        player = std::make_unique<TMediaPlayer>(std::make_unique<GstBackend>());
        QObject::connect(player.get(), &TMediaPlayer::OnNotify, [this] { ++notifications; });
    }

    // Plays the file to its end; returns how long that took in milliseconds.
    qint64 playThrough(const QString& path, TMPDeviceTypes type = dtAutoSelect) {
        player->FileName = path;
        player->DeviceType = type;
        player->Open();
        QElapsedTimer timer;
        timer.start();
        player->Play();
        waitUntil([this] { return player->Mode() != mpPlaying; }, 15000);
        QCoreApplication::processEvents();
        return timer.elapsed();
    }
};

TEST_F(GstBackendTest, EveryFormatPlaysToTheEndWithItsLength) {
    const QString wav = dir.file("铃声 a.wav");
    testmedia::writeWav(wav, 600);
    const QString mp3 = dir.file("b.mp3");
    ASSERT_TRUE(testmedia::encode(mp3, "mp3", 600));
    const QString wma = dir.file("c.wma");
    ASSERT_TRUE(testmedia::encode(wma, "wma", 600));
    const QString mid = dir.file("d.mid");
    testmedia::writeMidi(mid, 600);

    const struct {
        QString path;
        TMPDeviceTypes type;
        int tolerance;  // encoders pad a little; MIDI ends with the synthesiser's release
    } files[] = {{wav, dtAutoSelect, 5},
                 {mp3, dtAutoSelect, 80},
                 {wma, dtAutoSelect, 120},
                 {mid, dtSequencer, 1500}};
    int expected = 0;
    for (const auto& f : files) {
        SCOPED_TRACE(f.path.toStdString());
        const qint64 took = playThrough(f.path, f.type);
        ++expected;
        EXPECT_EQ(player->Mode(), mpStopped);
        EXPECT_EQ(notifications, expected);
        EXPECT_NEAR(player->Length(), 600, f.tolerance);
        EXPECT_EQ(player->Position(), player->Length());
        EXPECT_GE(took, player->Length() - 100);  // played in real time, not skipped
    }
}

TEST_F(GstBackendTest, DamagedOrUnsupportedFilesFailToOpenWithAText) {
    QByteArray noise;
    for (int i = 0; i < 20000; ++i) {
        noise += static_cast<char>((i * 7 + 3) % 251);
    }
    const QString fake = dir.write("noise.mp3", noise);
    const QString empty = dir.write("empty.wav", "");
    const QString text = dir.write("notes.mid", "this is not a MIDI file");
    for (const QString& path : {fake, empty, text, dir.file("gone.wav")}) {
        SCOPED_TRACE(path.toStdString());
        player->FileName = path;
        try {
            player->Open();
            ADD_FAILURE() << "opened";
        } catch (const EMCIDeviceError& e) {
            EXPECT_FALSE(e.text().isEmpty());
        }
        EXPECT_FALSE(player->isOpen());
    }
    // The player still works afterwards.
    const QString wav = dir.file("ok.wav");
    testmedia::writeWav(wav, 200);
    playThrough(wav);
    EXPECT_EQ(player->Position(), 200);
}

TEST(SoundfontTest, ChosenByVariableElsePreferredElseAny) {
    TempDir dir;
    QDir(dir.path()).mkpath("a");
    QDir(dir.path()).mkpath("b");
    dir.write("b/zzz.sf2", "x");
    ScopedEnv chosen("TOLLVANE_SOUNDFONT", std::nullopt);
    EXPECT_EQ(media::findSoundfont({dir.file("a"), dir.file("b")}), dir.file("b/zzz.sf2"));
    dir.write("b/TimGM6mb.sf2", "x");
    EXPECT_EQ(media::findSoundfont({dir.file("a"), dir.file("b")}), dir.file("b/TimGM6mb.sf2"));
    QFile::link(dir.file("b/nothing.sf2"), dir.file("a/default-GM.sf2"));  // dangling link
    EXPECT_EQ(media::findSoundfont({dir.file("a"), dir.file("b")}), dir.file("b/TimGM6mb.sf2"));
    dir.write("mine.sf2", "x");
    chosen.set(dir.file("mine.sf2").toUtf8());
    EXPECT_EQ(media::findSoundfont({dir.file("a")}), dir.file("mine.sf2"));
    chosen.set(std::nullopt);
    EXPECT_TRUE(media::findSoundfont({dir.file("none")}).isEmpty());
}

}  // namespace
