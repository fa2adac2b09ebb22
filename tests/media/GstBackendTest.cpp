// The GStreamer back end on real files of every format the program offers, into a fake sink.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
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
        player->Open(path, type);
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

TEST_F(GstBackendTest, DamagedOrUnsupportedFilesFailWithATextAndNeverClaimToPlay) {
    QByteArray noise;
    for (int i = 0; i < 20000; ++i) {
        noise += static_cast<char>((i * 7 + 3) % 251);
    }
    const QString fake = dir.write("noise.mp3", noise);
    const QString empty = dir.write("empty.wav", "");
    const QString text = dir.write("notes.mid", "this is not a MIDI file");
    QStringList failures;
    QObject::connect(player.get(), &TMediaPlayer::PlaybackFailed,
                     [&](const QString& file, const QString& reason) {
                         EXPECT_FALSE(reason.isEmpty());
                         failures << file;
                     });
    for (const QString& path : {fake, empty, text, dir.file("gone.wav")}) {
        SCOPED_TRACE(path.toStdString());
        // Refused at once, or, when the file takes longer to judge than the player waits,
        // reported as failed soon after; either way it never plays.
        try {
            player->Open(path, path.endsWith(".mid") ? dtSequencer : dtAutoSelect);
            player->Play();
            EXPECT_TRUE(waitUntil([&] { return failures.contains(path); }, 5000));
            EXPECT_EQ(player->Mode(), mpStopped);
        } catch (const EMCIDeviceError& e) {
            EXPECT_FALSE(e.text().isEmpty());
            EXPECT_FALSE(player->isOpen());
        }
    }
    // The player still works afterwards.
    const QString wav = dir.file("ok.wav");
    testmedia::writeWav(wav, 200);
    playThrough(wav);
    EXPECT_EQ(player->Position(), 200);
}

TEST_F(GstBackendTest, AFileNotReadyWhenOpenReturnsPlaysWhenItIsWithItsLength) {
    player = std::make_unique<TMediaPlayer>(std::make_unique<GstBackend>(0));
    QObject::connect(player.get(), &TMediaPlayer::OnNotify, [this] { ++notifications; });
    int failures = 0;
    QObject::connect(player.get(), &TMediaPlayer::PlaybackFailed, [&] { ++failures; });
    const QString mp3 = dir.file("slow.mp3");
    ASSERT_TRUE(testmedia::encode(mp3, "mp3", 600));
    playThrough(mp3);  // Play comes before the file is ready
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(notifications, 1);
    EXPECT_NEAR(player->Length(), 600, 80);
    EXPECT_EQ(player->Position(), player->Length());
}

TEST_F(GstBackendTest, WhatIsNotARegularFileIsRefusedAtOnce) {
    const QString fifo = dir.file("pipe.mp3");
    ASSERT_EQ(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
    const QString folder = dir.file("folder.wav");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const QString& path : {fifo, folder}) {
        SCOPED_TRACE(path.toStdString());
        QElapsedTimer timer;
        timer.start();
        EXPECT_THROW(player->Open(path), EMCIDeviceError);
        EXPECT_LT(timer.elapsed(), 50);
        EXPECT_FALSE(player->isOpen());
    }
}

TEST_F(GstBackendTest, APreparedFileIsSwappedInWhileTheSoundBeforeItPlaysOn) {
    const QString first = dir.file("first.wav");
    testmedia::writeWav(first, 800);
    const QString mid = dir.file("next.mid");
    testmedia::writeMidi(mid, 400);
    player->Open(first);
    player->Play();
    player->Prepare(mid, dtSequencer);
    ASSERT_TRUE(waitUntil([&] { return player->Position() >= 300; }));
    EXPECT_EQ(player->Mode(), mpPlaying);  // the preparation did not disturb it
    const qint64 took = playThrough(mid, dtSequencer);
    EXPECT_TRUE(player->prepared().isEmpty());
    EXPECT_NEAR(player->Length(), 400, 1500);
    EXPECT_GE(took, 300);
    EXPECT_EQ(notifications, 2);  // the replaced sound and the prepared one
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

namespace {

TEST(GstOutputTest, WithNoAudioDeviceTheSilentFallbackIsReportedAsAMissingOutput) {
    TempDir dir;
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK", std::nullopt};
    ScopedEnv pulse{"PULSE_SERVER", "unix:" + dir.file("no-server").toUtf8()};
    ScopedEnv alsa{"ALSA_CONFIG_PATH", dir.write("asound.conf", "").toUtf8()};
    TMediaPlayer player(std::make_unique<GstBackend>());
    std::optional<bool> available;
    QObject::connect(&player, &TMediaPlayer::OutputChanged, [&](bool a) { available = a; });
    const QString wav = dir.file("a.wav");
    testmedia::writeWav(wav, 200);
    player.Open(wav);
    player.Play();
    ASSERT_TRUE(waitUntil([&] { return available.has_value(); }, 5000));
    EXPECT_FALSE(*available);
    EXPECT_TRUE(player.outputMissing());
}

}  // namespace
