// MIDI: the file reader, and playback through the program's one synthesiser with the real back
// end (the soundfont is TOLLVANE_SOUNDFONT's when set, else the system's General MIDI font).
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QFile>
#include <cmath>

#include "EventWait.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "media/GstBackend.h"
#include "media/MidiFile.h"
#include "media/MidiSynth.h"
#include "media/SoundPipeline.h"

namespace {

QByteArray be(quint32 v, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) {
        out += static_cast<char>(v >> (8 * i) & 0xFF);
    }
    return out;
}

// A file of the given tracks (their bytes, end-of-track added) at `division`.
QByteArray smf(const QList<QByteArray>& tracks, quint32 division = 480, quint32 format = 1) {
    QByteArray out = "MThd" + be(6, 4) + be(format, 2) + be(tracks.size(), 2) + be(division, 2);
    for (const QByteArray& t : tracks) {
        const QByteArray body = t + QByteArray("\x00\xFF\x2F\x00", 4);
        out += "MTrk" + be(body.size(), 4) + body;
    }
    return out;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

TEST(MidiFileTest, ReadsTimesInstrumentsAndDefaultsAcrossTracks) {
    // Track 1: tempo doubles at tick 480 (0.5 s); track 2: violin on channel 1 from the start,
    // a piano note on channel 0 with running status, a drum on channel 10 at tick 960.
    const QByteArray tempo = bytes({0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,          // 500000
                                    0x83, 0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90});  // 250000
    const QByteArray notes = bytes({0x00, 0xC1, 40,   0x00, 0x91, 60,   100,           // violin
                                    0x00, 0x90, 64,   90,   0x83, 0x60, 64,   0,  // running status
                                    0x83, 0x60, 0x99, 36,   100,  0x00, 0xB2, 0x00, 5,
                                    0x00, 0xC2, 3,    0x00, 0x92, 70,   0});  // velocity 0: no note
    const auto song = midifile::parse(smf({tempo, notes}));
    ASSERT_TRUE(song.has_value());
    const std::set<std::pair<int, int>> instruments{{0, 40}, {0, 0}, {128, 0}};
    EXPECT_EQ(song->instruments, instruments);
    EXPECT_EQ(song->defaultPrograms, (1u << 0) | (1u << 9));
    ASSERT_EQ(song->events.size(), 8u);
    EXPECT_EQ(song->events[3].us, 500000);    // the note off at tick 480
    EXPECT_EQ(song->events[3].status, 0x90);  // running status kept
    EXPECT_EQ(song->events[4].us, 750000);    // 480 ticks at the new tempo
    EXPECT_EQ(song->lengthUs, 750000);
}

TEST(MidiFileTest, TimeCodeDivisionCountsFramesPerSecond) {
    // 25 frames of 40 ticks: 1000 ticks a second.
    const auto song =
        midifile::parse(smf({bytes({0x87, 0x68, 0x90, 60, 100})}, (0x100 - 25) << 8 | 40));
    ASSERT_TRUE(song.has_value());
    EXPECT_EQ(song->events.front().us, 1000000);
}

TEST(MidiFileTest, DamagedFilesAreRefusedWithAReasonNeverReadPastTheirEnd) {
    const QByteArray good = smf({bytes({0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0})});
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"text", "this is not a MIDI file"},
        {"cut header", good.left(10)},
        {"zero division", smf({bytes({0x00, 0x90, 60, 100})}, 0)},
        {"data before any status", smf({bytes({0x00, 60, 100})})},
        {"five-byte length", smf({bytes({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 60, 100})})},
        {"no track", "MThd" + be(6, 4) + be(1, 2) + be(1, 2) + be(480, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        EXPECT_FALSE(midifile::parse(c.bytes, &why).has_value());
        EXPECT_FALSE(why.isEmpty());
    }
    // A track cut short plays what it holds; a length beyond the file is not followed.
    for (int cut = 23; cut < good.size(); ++cut) {
        QByteArray damaged = good.left(cut);
        const auto song = midifile::parse(damaged);
        if (song) {
            EXPECT_LE(song->events.size(), 2u);
        }
    }
}

// The samples of a 16-bit stereo WAV file as wavenc writes it.
std::vector<qint16> samplesOf(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray all = f.readAll();
    const qsizetype data = all.indexOf("data");
    std::vector<qint16> out;
    for (qsizetype i = data + 8; data >= 0 && i + 1 < all.size(); i += 2) {
        out.push_back(static_cast<qint16>(static_cast<quint8>(all[i]) | all[i + 1] << 8));
    }
    return out;
}

double rms(const std::vector<qint16>& s, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to && i < s.size(); ++i) {
        sum += static_cast<double>(s[i]) * s[i];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0;
}

struct MidiPlayback : ::testing::Test {
    TempDir dir;
    void SetUp() override {
        const QByteArray font = qgetenv("TOLLVANE_SOUNDFONT");
        if (!font.isEmpty() && !QFile::exists(QString::fromLocal8Bit(font))) {
            GTEST_SKIP() << "soundfont " << font.constData() << " is not installed";
        }
    }
    // One second of a violin on channel 2, then one second of drums on channel 10 only.
    QString twoHalves() {
        const QByteArray violin = bytes({0x00, 0xC2, 40, 0x00, 0x92, 67, 110, 0x87, 0x40, 0x82, 67,
                                         0});  // 960 ticks: one second
        QByteArray drums;
        for (int i = 0; i < 8; ++i) {
            drums += i == 0 ? bytes({0x87, 0x40}) : bytes({0x00});  // from the second second
            drums += bytes({0x99, 38, 120, 0x78, 0x89, 38, 0});
        }
        return dir.write("halves.mid", smf({violin, drums}));
    }
};

TEST_F(MidiPlayback, EveryChannelSoundsAndTheFileEndsOnItsOwn) {
    const QString wav = dir.file("out.wav");
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK",
                   ("audioconvert ! audio/x-raw,format=S16LE,channels=2,rate=44100 ! wavenc ! "
                    "filesink location=" +
                    wav)
                       .toUtf8()};
    TMediaPlayer player(std::make_unique<GstBackend>());
    player.Open(twoHalves(), dtSequencer);
    waitUntil([&] { return player.Length() > 0; });  // the first file also makes the synthesiser
    EXPECT_NEAR(player.Length(), 2000, 20);
    player.Play();
    ASSERT_TRUE(waitUntil([&] { return player.Mode() == mpStopped; }, 15000));
    player.Close();
    const std::vector<qint16> s = samplesOf(wav);
    const std::size_t second = 2 * 44100;
    ASSERT_GE(s.size(), 2 * second);
    EXPECT_LT(s.size(), 2 * second + 2 * 2 * 44100 + 4096);  // the release: two seconds at most
    EXPECT_GT(rms(s, 4410, second - 4410), 200) << "the violin of channel 3 is silent";
    EXPECT_GT(rms(s, second + 4410, 2 * second - 4410), 200) << "the drums are silent";
    EXPECT_EQ(MidiSynth::shared()->pinned(), 0);  // the file given up lets its samples go
}

TEST_F(MidiPlayback, TheStandbyFileSharesTheOneSynthesiserWhileTheFirstPlaysOn) {
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK", "fakesink sync=true"};
    TMediaPlayer player(std::make_unique<GstBackend>());
    const QString first = twoHalves();
    const QString second = dir.write(
        "second.mid", smf({bytes({0x00, 0xC0, 19, 0x00, 0x90, 60, 100, 0x83, 0x60, 0x80, 60, 0})}));
    player.Open(first, dtSequencer);
    player.Play();
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= 200; }));
    player.Prepare(second, dtSequencer);
    const qint64 before = player.Position();
    ASSERT_TRUE(waitUntil([&] { return player.Position() >= before + 300; }));
    EXPECT_EQ(player.Mode(), mpPlaying);  // the preparation did not take the synthesiser
    EXPECT_EQ(MidiSynth::made(), 1);
    EXPECT_EQ(MidiSynth::shared()->pinned(), 3);  // violin and drums; the organ is ready
    player.Open(second, dtSequencer);
    EXPECT_TRUE(player.prepared().isEmpty());
    player.Play();
    ASSERT_TRUE(waitUntil([&] { return player.Mode() == mpStopped; }, 10000));
    EXPECT_NEAR(player.Position(), 500, 5);
    player.Close();
    EXPECT_EQ(MidiSynth::made(), 1);
    EXPECT_EQ(MidiSynth::shared()->pinned(), 0);
}

// The element of that factory: `root` itself or one inside it (a new reference), else null.
GstElement* findFactory(GstElement* root, const char* factory) {
    const auto is = [factory](GstElement* e) {
        GstElementFactory* f = gst_element_get_factory(e);
        return f != nullptr && g_strcmp0(GST_OBJECT_NAME(f), factory) == 0;
    };
    if (is(root)) {
        return GST_ELEMENT(gst_object_ref(root));
    }
    GstElement* found = nullptr;
    if (GST_IS_BIN(root)) {
        GstIterator* it = gst_bin_iterate_recurse(GST_BIN(root));
        GValue item = G_VALUE_INIT;
        while (found == nullptr && gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
            auto* e = GST_ELEMENT(g_value_get_object(&item));
            if (is(e)) {
                found = GST_ELEMENT(gst_object_ref(e));
            }
            g_value_unset(&item);
        }
        gst_iterator_free(it);
    }
    return found;
}

TEST(SoundOutputTest, TheSinkAsksTheServerForAShortBuffer) {
    gst_init(nullptr, nullptr);
    for (const auto kind : {SoundPipeline::Kind::Any, SoundPipeline::Kind::Midi}) {
        for (const char* description : {"pulsesink", "audioconvert ! pulsesink"}) {
            SCOPED_TRACE(description);
            ScopedEnv sink{"TOLLVANE_AUDIO_SINK", description};
            SoundPipeline pipeline(kind, [](SoundPipeline&, GstMessage*) {});
            GstElement* output = nullptr;
            if (kind == SoundPipeline::Kind::Any) {
                g_object_get(pipeline.element(), "audio-sink", &output, nullptr);
            } else {
                output = GST_ELEMENT(gst_object_ref(pipeline.element()));
            }
            GstElement* pulse = findFactory(output, "pulsesink");
            gst_object_unref(output);
            ASSERT_NE(pulse, nullptr);
            gint64 buffer = 0;
            gint64 latency = 0;
            g_object_get(pulse, "buffer-time", &buffer, "latency-time", &latency, nullptr);
            EXPECT_EQ(buffer, SoundPipeline::kBufferUs);
            EXPECT_EQ(latency, SoundPipeline::kLatencyUs);
            gst_object_unref(pulse);
        }
    }
}

}  // namespace
