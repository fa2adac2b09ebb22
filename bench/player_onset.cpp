// Player onset with the GStreamer back end into a synchronised fake sink: for each format, the time
// from Open to the first audio buffer at the sink, and from Play to it. Median and worst of 20.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "OnsetSink.h"
#include "Stats.h"
#include "media/GstBackend.h"
#include "media/TestMedia.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TOLLVANE_AUDIO_SINK", onsetsink::kDescription);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString wav = dir.filePath("a.wav");
    const QString mp3 = dir.filePath("a.mp3");
    const QString wma = dir.filePath("a.wma");
    const QString mid = dir.filePath("a.mid");
    testmedia::writeWav(wav, 2000);
    testmedia::encode(mp3, "mp3", 2000);
    testmedia::encode(wma, "wma", 2000);
    testmedia::writeMidi(mid, 2000);

    QElapsedTimer clock;
    qint64 firstAt = -1;
    onsetsink::install([&] {
        if (firstAt < 0) {
            firstAt = clock.nsecsElapsed();
        }
    });
    TMediaPlayer player(std::make_unique<GstBackend>());

    const struct {
        const char* name;
        QString path;
        TMPDeviceTypes type;
    } formats[] = {{"WAV", wav, dtAutoSelect},
                   {"MP3", mp3, dtAutoSelect},
                   {"WMA", wma, dtAutoSelect},
                   {"MIDI", mid, dtSequencer}};
    std::printf("player onset, 20 runs each\n");
    for (const auto& f : formats) {
        std::vector<double> fromOpen;
        std::vector<double> fromPlay;
        for (int run = 0; run < 20; ++run) {
            firstAt = -1;
            clock.start();
            player.Open(f.path, f.type);
            // The first buffer reaches the sink while Open waits for the preroll.
            fromOpen.push_back(static_cast<double>(firstAt) / 1e6);
            // After Play, the first buffer is the next one the sink is handed.
            firstAt = -1;
            const qint64 played = clock.nsecsElapsed();
            player.Play();
            QElapsedTimer wait;
            wait.start();
            while (firstAt < 0 && wait.elapsed() < 5000) {
                QEventLoop loop;
                QTimer::singleShot(0, &loop, &QEventLoop::quit);
                loop.exec();
            }
            fromPlay.push_back(static_cast<double>(firstAt - played) / 1e6);
            player.Stop();
        }
        std::printf("%s\n", f.name);
        report("Open -> first buffer", fromOpen);
        report("Play -> first buffer", fromPlay);
    }
    return 0;
}
