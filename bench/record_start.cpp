// Recording: the time from "开始录音" (Open and StartRecording on the player) to the first
// captured sample in the file, over 20 starts, and the program's CPU share while it records
// 44.1 kHz stereo for five seconds. The input is a live test tone (TOLLVANE_AUDIO_SOURCE).
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "Stats.h"
#include "media/GstBackend.h"
#include "media/WavFile.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TOLLVANE_AUDIO_SINK", "fakesink sync=true");
    qputenv("TOLLVANE_AUDIO_SOURCE", "audiotestsrc is-live=true wave=sine freq=440");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath("rec.wav");
    TMediaPlayer player(std::make_unique<GstBackend>());

    std::vector<double> firstSample;
    for (int run = 0; run < 20; ++run) {
        CreateWav(2, 16, 44100, file);
        QElapsedTimer clock;
        clock.start();
        player.OpenRecording(file);
        player.StartRecording();
        while (QFile(file).size() <= 44 && clock.elapsed() < 5000) {
            spin(1);
        }
        firstSample.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        player.Stop();
        player.Close();
    }
    std::printf("recording, live 44.1 kHz stereo test tone\n");
    report("start -> first sample in the file", firstSample);

    CreateWav(2, 16, 44100, file);
    player.OpenRecording(file);
    const double cpuBefore = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    player.StartRecording();
    spin(5000);
    player.Stop();
    const double cpu = cpuSeconds() - cpuBefore;
    std::printf("  CPU while recording            %.1f %% of one core (%.2f s in %.2f s)\n",
                100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0), cpu,
                static_cast<double>(wall.elapsed()) / 1000.0);
    return 0;
}
