// Ring onset: from the due second to the first audio buffer at the sink, with the real
// GStreamer back end into a synchronised fake sink, over a day of rings that mixes WAV, MP3, WMA,
// MIDI and random-music rows (the first ring of each format included), each ticked through its
// ten-second look-ahead as the program does (two MIDI rows in a row among them); then a row two
// seconds after a FIFO row, with real time between the ticks that ring. Prints the
// median, 99th percentile and worst, the resident memory after the first hour and at the end,
// and how late the one-second timer fires after a boundary (measured on its own).
#include <sys/stat.h>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <QFile>
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
#include "media/WavDecode.h"
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

namespace {

// Resident memory of this process in MB.
double residentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').front().toDouble() / 1024.0;
        }
    }
    return 0;
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
    // Short sounds, so each has ended before the next ring is measured.
    const int ms = 400;
    testmedia::writeWav(root.filePath("Music/bell.wav"), ms);
    testmedia::encode(root.filePath("Music/bell.mp3"), "mp3", ms);
    testmedia::encode(root.filePath("Music/bell.wma"), "wma", ms);
    testmedia::writeMidi(root.filePath("Music/bell.mid"), ms);
    testmedia::writeMidi(root.filePath("Music/bell.mid2.mid"), ms + 100);
    for (int i = 0; i < 8; ++i) {
        testmedia::encode(root.filePath(QStringLiteral("随机音乐/%1.mp3").arg(i)), "mp3", ms);
    }
    const QString fifo = root.filePath("Music/pipe.mp3");
    ::mkfifo(fifo.toUtf8().constData(), 0600);

    // One row a minute from 08:00, the five kinds in turn; then the FIFO and the row after it.
    const QStringList kinds = {"wav", "mp3", "wma", "mid", "mid2.mid", "random"};
    const int rings = 210;
    std::vector<ScheduleRow> rows;
    std::vector<QTime> due;
    for (int i = 0; i < rings; ++i) {
        const QTime at = QTime(8, 0).addSecs(60 * i);
        const QString& kind = kinds[i % kinds.size()];
        rows.push_back(row(
            at.hour(), at.minute(), 0, kind,
            kind == "random" ? QStringLiteral("随机音乐") : root.filePath("Music/bell." + kind)));
        due.push_back(at);
    }
    rows.push_back(row(12, 0, 0, "fifo", fifo));
    rows.push_back(row(12, 0, 2, "after-fifo", root.filePath("Music/bell.wav")));
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
    TForm1 form(Services{clock, dialogs, log.log, dir.path(),
                         // As the program has it: WMA plays from the copy its helper decodes.
                         std::make_unique<GstBackend>(
                             GstBackend::kOpenWaitMs,
                             std::make_unique<DecodedSounds>(
                                 dir.filePath("cache"),
                                 DecodedSounds::Helper{QStringLiteral(TOLLVANE_PROGRAM),
                                                       {QString::fromLatin1(media::kDecodeFlag)}})),
                         std::make_unique<FakePower>(), std::make_unique<FakeTray>(),
                         std::make_unique<FakeOpener>(),
                         std::make_unique<XdgAutostart>(dir.filePath("xdg"), dir.filePath("home")),
                         std::make_unique<FakeMixer>(), QString(), nullptr,
                         dir.filePath("tollvane"), nullptr, nullptr});
    form.FormCreate();
    form.show();
    form.chk1->setChecked(true);

    // Ticks the ring timer through the look-ahead before `at` (with a moment of real time for
    // the preparation), then at `at` itself; returns the onset in ms.
    const auto ringAt = [&](const QTime& at) {
        const QDateTime when(QDate(2026, 12, 7), at);
        for (int k = 10; k >= 1; --k) {
            clock.set(when.addSecs(-k));
            const qsizetype before = log.of("ring").size() + log.of("missing-file").size();
            form.tmr1Timer();
            // The look-ahead, and a row that rang on the way (what follows it is made ready
            // then), get some of the real time a second would give them.
            // The look-ahead gets enough for a WMA file's helper too (ten seconds in a day).
            if (k == 10) {
                spin(400);
            } else if (log.of("ring").size() + log.of("missing-file").size() != before) {
                spin(150);
            }
        }
        clock.set(when);
        firstAt = -1;
        elapsed.start();
        form.tmr1Timer();
        while (firstAt < 0 && elapsed.elapsed() < 5000) {
            spin(0);
        }
        const double onset = firstAt < 0 ? 5000.0 : static_cast<double>(firstAt) / 1e6;
        spin(ms + 150);  // the sound ends; notifications
        return onset;
    };

    std::printf("ring onset, real GStreamer back end into a fake sink, %d rings\n", rings);
    std::vector<double> all;
    std::vector<double> byKind[6];
    std::vector<double> first;
    double firstHourMb = 0;
    for (int i = 0; i < rings; ++i) {
        const double onset = ringAt(due[i]);
        all.push_back(onset);
        byKind[i % 6].push_back(onset);
        if (i < 6) {
            first.push_back(onset);
        }
        if (i == 59) {
            firstHourMb = residentMb();
        }
    }
    report("all rows", all);
    for (int k = 0; k < 6; ++k) {
        report(kinds[k].toUtf8().constData(), byKind[k]);
    }
    report("first ring of each format", first);
    std::vector<double> afterFifo{ringAt(QTime(12, 0, 2))};
    report("row 2 s after a FIFO row", afterFifo);
    // This process encodes its own WMA and MP3 files, so FFmpeg is in it whatever the player
    // does; bench/footprint.sh measures the program itself.
    std::printf(
        "  resident memory of this benchmark (FFmpeg included: it encodes its files): "
        "%.1f MB after the first hour, %.1f MB after %d rings\n",
        firstHourMb, residentMb(), rings);
    std::printf("  log: %lld ring lines, %lld missed, %lld errors, %lld missing-file\n",
                static_cast<long long>(log.of("ring").size()),
                static_cast<long long>(log.of("missed").size()),
                static_cast<long long>(log.of("error").size()),
                static_cast<long long>(log.of("missing-file").size()));
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
