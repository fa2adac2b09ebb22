// Ring onset: from the due second's boundary to the first audio buffer at the sink, with the
// real GStreamer back end into a synchronised fake sink, for a WAV row, an MP3 row and a
// random-music row (60 rings each): median, 99th percentile and worst. The ring tick is called at
// the boundary itself; how late the one-second timer fires after a boundary is measured on its own.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "OnsetSink.h"
#include "Stats.h"
#include "app/TForm1.h"
#include "core/SecondTimer.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakeMixer.h"
#include "fakes/FakePower.h"
#include "fakes/FakeTray.h"
#include "fakes/LogRecorder.h"
#include "media/GstBackend.h"
#include "media/TestMedia.h"
#include "schedule/ScheduleFixture.h"
#include "system/XdgAutostart.h"

namespace {

void spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

ScheduleRow row(int h, int m, int s, const QString& event, const QString& sound) {
    return makeRow(h, m, s, event, sound);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TOLLVANE_AUDIO_SINK", onsetsink::kDescription);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    QDir root(dir.path());
    root.mkpath("Data");
    root.mkpath("Music");
    root.mkpath(QStringLiteral("随机音乐"));
    for (const QString& name : schedule::kTableNames) {
        ScheduleDb::create(root.filePath("Data/" + name));
    }
    testmedia::writeWav(root.filePath("Music/bell.wav"), 3000);
    testmedia::encode(root.filePath("Music/bell.mp3"), "mp3", 3000);
    for (int i = 0; i < 8; ++i) {
        testmedia::encode(root.filePath(QStringLiteral("随机音乐/%1.mp3").arg(i)), "mp3", 3000);
    }
    // Three rows a minute apart, repeated through the day: WAV, MP3, random music.
    std::vector<ScheduleRow> rows;
    const int rings = 60;
    for (int i = 0; i < rings; ++i) {
        rows.push_back(row(8, i, 0, "wav", root.filePath("Music/bell.wav")));
        rows.push_back(row(9, i, 0, "mp3", root.filePath("Music/bell.mp3")));
        rows.push_back(row(10, i, 0, "random", QStringLiteral("随机音乐")));
    }
    ScheduleDb(root.filePath("Data/temp.dat")).replaceAll(rows);

    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(7, 59, 0)));
    FakeDialogs dialogs;
    LogRecorder log(clock);
    QElapsedTimer elapsed;
    qint64 firstAt = -1;
    onsetsink::install([&] {
        if (firstAt < 0) {
            firstAt = elapsed.nsecsElapsed();
        }
    });
    TForm1 form(Services{clock, dialogs, log.log, dir.path(), std::make_unique<GstBackend>(),
                         std::make_unique<FakePower>(), std::make_unique<FakeTray>(),
                         std::make_unique<FakeOpener>(),
                         std::make_unique<XdgAutostart>(dir.filePath("xdg"), dir.filePath("home")),
                         std::make_unique<FakeMixer>()});
    form.FormCreate();
    form.CreateWindows();
    form.chk1->setChecked(true);

    std::printf("ring onset, real GStreamer back end into a fake sink\n");
    for (int hour : {8, 9, 10}) {
        std::vector<double> onset;
        for (int i = 0; i < rings; ++i) {
            clock.set(QDateTime(QDate(2026, 12, 7), QTime(hour, i, 0)));
            firstAt = -1;
            elapsed.start();
            form.tmr1Timer();
            while (firstAt < 0 && elapsed.elapsed() < 5000) {
                spin(0);
            }
            onset.push_back(static_cast<double>(firstAt) / 1e6);
            spin(20);  // notifications
        }
        report(hour == 8   ? "WAV row"
               : hour == 9 ? "MP3 row"
                           : "random-music row (MP3 tunes)",
               onset);
    }
    if (!dialogs.errors.isEmpty()) {
        std::printf("errors: %s\n", dialogs.errors.join(" | ").toUtf8().constData());
    }

    // How late after each wall-clock boundary the one-second timer fires.
    SystemClock wall;
    SecondTimer timer(wall);
    std::vector<double> lateness;
    QObject::connect(&timer, &SecondTimer::timeout,
                     [&] { lateness.push_back(wall.now().time().msec()); });
    timer.setEnabled(true);
    QElapsedTimer span;
    span.start();
    while (lateness.size() < 10 && span.elapsed() < 15000) {
        spin(50);
    }
    report("timer fires after boundary", lateness);
    return 0;
}
