// WMA files decoded by the helper process (the real program) into a cache, and played from it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QtEndian>

#include "EventWait.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "media/DecodedSounds.h"
#include "media/GstBackend.h"
#include "media/TestMedia.h"
#include "media/WavDecode.h"

namespace {

DecodedSounds::Helper realHelper() {
    return {QStringLiteral(TOLLVANE_PROGRAM), {QString::fromLatin1(media::kDecodeFlag)}};
}

// The length in ms of a 16-bit PCM WAV file's data, from its header.
qint64 wavMs(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray head = f.read(44);
    if (head.size() < 44 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") {
        return -1;
    }
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(head.constData() + at); };
    return u32(28) == 0 ? -1 : qint64{u32(40)} * 1000 / u32(28);
}

struct Runs {
    QStringList made, failed;
    void watch(DecodedSounds& sounds) {
        sounds.onDecoded = [this](const QString& file, bool ok) { (ok ? made : failed) << file; };
    }
};

TEST(DecodedSoundsTest, AWmaFilePlaysFromItsCopyOnceMadeAndAReplacedFileIsDecodedAgain) {
    TempDir dir;
    const QString wma = dir.file("下课.wma");
    ASSERT_TRUE(testmedia::encode(wma, "wma", 600));
    const QString wav = dir.file("a.wav");
    testmedia::writeWav(wav, 200);
    DecodedSounds sounds(dir.file("cache"), realHelper());
    Runs runs;
    runs.watch(sounds);

    EXPECT_EQ(sounds.playable(wav), wav);  // played as it is, never decoded
    EXPECT_EQ(sounds.playable(wma), wma);  // the bell does not wait for the helper
    ASSERT_TRUE(waitUntil([&] { return !runs.made.isEmpty() || !runs.failed.isEmpty(); }));
    EXPECT_EQ(runs.made, QStringList{wma});
    const QString copy = sounds.playable(wma);
    EXPECT_TRUE(copy.startsWith(dir.file("cache/")));
    EXPECT_NEAR(wavMs(copy), 600, 120);

    // The same name with another sound: the old copy is not played for it.
    QFile::remove(wma);
    ASSERT_TRUE(testmedia::encode(wma, "wma", 1500));
    EXPECT_EQ(sounds.playable(wma), wma);
    ASSERT_TRUE(waitUntil([&] { return runs.made.size() == 2; }));
    const QString second = sounds.playable(wma);
    EXPECT_NE(second, copy);
    EXPECT_NEAR(wavMs(second), 1500, 120);
    EXPECT_TRUE(runs.failed.isEmpty());
    EXPECT_EQ(runs.made.size() + runs.failed.size(), 2);  // no helper ran for the WAV file
}

TEST(DecodedSoundsTest, WhenTheHelperCannotMakeACopyTheFilePlaysItselfAndIsNotTriedAgain) {
    TempDir dir;
    QByteArray noise;
    for (int i = 0; i < 20000; ++i) {
        noise += static_cast<char>((i * 7 + 3) % 251);
    }
    const QString damaged = dir.write("damaged.wma", noise);
    const QString good = dir.file("good.wma");
    ASSERT_TRUE(testmedia::encode(good, "wma", 300));
    const struct {
        const char* what;
        QString file;
        DecodedSounds::Helper helper;
    } cases[] = {
        {"a damaged file", damaged, realHelper()},
        {"no helper", good, {dir.file("no-such-helper"), {}}},
        {"a helper that says it made the copy but wrote nothing", good, {"true", {}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DecodedSounds sounds(dir.file("cache"), c.helper);
        Runs runs;
        runs.watch(sounds);
        EXPECT_EQ(sounds.playable(c.file), c.file);
        ASSERT_TRUE(waitUntil([&] { return !runs.failed.isEmpty(); }));
        EXPECT_EQ(sounds.playable(c.file), c.file);
        EXPECT_EQ(sounds.playable(c.file), c.file);
        QCoreApplication::processEvents();
        EXPECT_EQ(runs.failed.size(), 1);
        EXPECT_TRUE(runs.made.isEmpty());
        EXPECT_TRUE(QDir(dir.file("cache")).entryList(QDir::Files).isEmpty());  // no part left
    }
}

TEST(DecodedSoundsTest, OpeningTheCacheRemovesPartsAndCopiesNotPlayedForAMonth) {
    TempDir dir;
    QDir().mkpath(dir.file("cache"));
    const QString part = dir.write("cache/a.wav.part", "half");
    const QString old = dir.write("cache/old.wav", "x");
    const QString recent = dir.write("cache/recent.wav", "x");
    QFile f(old);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addDays(-DecodedSounds::kKeepDays - 1),
                              QFileDevice::FileModificationTime));
    f.close();
    DecodedSounds sounds(dir.file("cache"), realHelper());
    EXPECT_FALSE(QFile::exists(part));
    EXPECT_FALSE(QFile::exists(old));
    EXPECT_TRUE(QFile::exists(recent));
}

TEST(DecodedSoundsTest, TheBackEndPlaysAWmaFileBeforeItsCopyIsMadeAndWhenPreparedMeanwhile) {
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK", "fakesink sync=true"};
    TempDir dir;
    const QString opened = dir.file("opened.wma");
    ASSERT_TRUE(testmedia::encode(opened, "wma", 600));
    const QString prepared = dir.file("prepared.wma");
    ASSERT_TRUE(testmedia::encode(prepared, "wma", 900));
    auto decoded = std::make_unique<DecodedSounds>(dir.file("cache"), realHelper());
    QStringList made;
    decoded->onDecoded = [&](const QString& file, bool ok) {
        if (ok) {
            made << file;
        }
    };
    TMediaPlayer player(std::make_unique<GstBackend>(GstBackend::kOpenWaitMs, std::move(decoded)));
    QStringList failures;
    QObject::connect(&player, &TMediaPlayer::PlaybackFailed,
                     [&](const QString& file) { failures << file; });
    const struct {
        QString file;
        bool prepareFirst;  // prepared while its copy is made, opened once it is
        int ms;
    } cases[] = {{opened, false, 600}, {prepared, true, 900}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        if (c.prepareFirst) {
            player.Prepare(c.file, dtAutoSelect);
            ASSERT_TRUE(waitUntil([&] { return made.contains(c.file); }));
        }
        player.Open(c.file);
        player.Play();
        ASSERT_TRUE(waitUntil([&] { return player.Mode() != mpPlaying; }, 10000));
        EXPECT_EQ(player.Mode(), mpStopped);
        EXPECT_NEAR(player.Length(), c.ms, 120);
        EXPECT_EQ(player.Position(), player.Length());
    }
    EXPECT_TRUE(failures.isEmpty());
}

}  // namespace
