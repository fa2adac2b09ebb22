// The program run as a school runs it: started on a Monday morning with automatic ringing
// remembered, it plays its start-up tune, switches ringing on by itself and rings the timetable.
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>

#include "core/IniFile.h"
#include "e2e/ProgramRun.h"
#include "media/TestMedia.h"
#include "schedule/ScheduleFixture.h"

namespace {

constexpr std::array<bool, 7> kMonToFri{true, true, true, true, true, false, false};

IniFile ini(ProgramRun& run) {
    return IniFile(run.path("config.ini"));
}

ScheduleRow row(int h, int m, int s, const QString& event, const QString& sound) {
    return makeRow(h, m, s, event, sound, kMonToFri);
}

TEST(RingE2ETest, StartsItsTuneThenRingsEachRowAtItsSecondAndPlaysThePlaylistOn) {
    ProgramRun run;
    testmedia::writeWav(run.path("Music/上课 铃.wav"), 1000);
    QStringList tunes;
    for (int i = 0; i < 3; ++i) {
        tunes << run.path(QStringLiteral("随机音乐/曲%1.wav").arg(i));
        testmedia::writeWav(tunes.back(), 700);
    }
    constexpr std::array<bool, 7> kWeekend{false, false, false, false, false, true, true};
    ScheduleDb(run.dataFile("temp.dat"))
        .replaceAll({row(8, 0, 0, "上课", "Music/上课 铃.wav"), row(8, 0, 2, "课间", "随机音乐"),
                     makeRow(8, 0, 7, "周末", "Music/上课 铃.wav", kWeekend),
                     row(8, 0, 8, "放学", "Music/上课 铃.wav")});
    IniFile(run.path("config.ini")).writeInteger("Set", "Auto_Play", 1);

    run.start("2026-12-07T07:59:54");  // a Monday
    EXPECT_EQ(run.waitFor("startup-tune"), run.path("sys.mp3"));
    const QStringList rings = run.waitForCount("ring", 3);
    EXPECT_EQ(run.stop(), 0);

    ASSERT_EQ(rings.size(), 3) << run.log.toStdString();
    EXPECT_EQ(rings[0], "08:00:00 上课 " + run.path("Music/上课 铃.wav"));
    // The random-music row plays one tune of the pool, and the idle ticks after each tune play
    // the other two, one after the other; the weekend row stays silent on a Monday.
    ASSERT_TRUE(rings[1].startsWith("08:00:02 课间 ")) << rings[1].toStdString();
    QStringList played{rings[1].section(' ', 2)};
    played << run.all("playlist-tune");
    played.sort();
    EXPECT_EQ(played, tunes) << run.log.toStdString();
    EXPECT_TRUE(rings[2].startsWith("08:00:08 放学 ")) << rings[2].toStdString();
    EXPECT_TRUE(run.all("error").isEmpty()) << run.log.toStdString();
    // The start-up tune came before the first bell.
    EXPECT_LT(run.log.indexOf(" startup-tune "), run.log.indexOf(" ring "));
}

TEST(RingE2ETest, TimedShutdownIsRequestedExactlyOnce) {
    ProgramRun run;
    IniFile ini(run.path("config.ini"));
    ini.writeInteger("Set", "AutoClose", 1);
    ini.writeInteger("CloseTime", "Hour", 17);
    ini.writeInteger("CloseTime", "Minute", 30);
    ini.writeInteger("CloseTime", "Second", 0);
    // A bell three seconds later marks that the program ran on past the shutdown second.
    ini.writeInteger("Set", "Auto_Play", 1);
    testmedia::writeWav(run.path("Music/bell.wav"), 300);
    ScheduleDb(run.dataFile("temp.dat")).replaceAll({row(17, 30, 3, "晚自习", "Music/bell.wav")});

    run.start("2026-12-07T17:29:55");
    EXPECT_FALSE(run.waitFor("shutdown-request").startsWith("<no"));
    EXPECT_TRUE(run.waitFor("ring").startsWith("17:30:03 ")) << run.log.toStdString();
    EXPECT_EQ(run.stop(), 0);
    EXPECT_EQ(run.all("shutdown-request").size(), 1);
    QFile requests(run.path("shutdown-requests"));
    ASSERT_TRUE(requests.open(QIODevice::ReadOnly));
    EXPECT_EQ(requests.readAll(), "requested\n");
}

TEST(RingE2ETest, AKillDuringABurstOfRingsLeavesEveryHistoryLineBeforeItWhole) {
    ProgramRun run;
    ini(run).writeInteger("Set", "Auto_Play", 1);
    testmedia::writeWav(run.path("Music/bell.wav"), 300);
    std::vector<ScheduleRow> rows;
    for (int s = 0; s < 40; ++s) {
        rows.push_back(row(8, 0, s, QStringLiteral("铃%1").arg(s), "Music/bell.wav"));
    }
    ScheduleDb(run.dataFile("temp.dat")).replaceAll(rows);
    const QRegularExpression whole(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} [a-z-]+( .*)?$)");
    QStringList logged;
    // Killed at a different moment of the burst each time, as a power cut would.
    for (const int rings : {3, 7}) {
        SCOPED_TRACE(rings);
        run.log.clear();
        run.start("2026-12-07T07:59:56");
        ASSERT_EQ(run.waitForCount("ring", rings).size(), rings) << run.log.toStdString();
        run.process->kill();
        run.process->waitForFinished();
        logged << run.lines().filter(whole);  // Qt's own warnings are not log lines
        QFile history(run.path("Logs/2026-12.log"));
        ASSERT_TRUE(history.open(QIODevice::ReadOnly));
        const QByteArray bytes = history.readAll();
        const QStringList lines = QString::fromUtf8(bytes).split('\n', Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            EXPECT_TRUE(whole.match(line).hasMatch()) << line.toStdString();
        }
        // Every line that reached the log before the kill is in the history, whole.
        for (const QString& line : logged) {
            EXPECT_TRUE(lines.contains(line)) << line.toStdString();
        }
    }
}

TEST(RingE2ETest, WmaBellsPlayFromTheirDecodedCopyWithoutFFmpegInTheProgram) {
    ProgramRun run;
    ini(run).writeInteger("Set", "Auto_Play", 1);
    ASSERT_TRUE(testmedia::encode(run.path("Music/bell.wma"), "wma", 600));
    ScheduleDb(run.dataFile("temp.dat"))
        .replaceAll(
            {row(8, 0, 10, "上课", "Music/bell.wma"), row(8, 0, 12, "下课", "Music/bell.wma")});

    run.start("2026-12-07T07:59:58");  // the first bell is made ready at 08:00:00
    ASSERT_EQ(run.waitForCount("ring", 2).size(), 2) << run.log.toStdString();
    // The bell program is the supervisor's child.
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(run.process->processId()));
    ASSERT_TRUE(children.open(QIODevice::ReadOnly));
    const QByteArray child = children.readAll().trimmed();
    ASSERT_FALSE(child.isEmpty());
    QFile maps(QStringLiteral("/proc/%1/maps").arg(QString::fromLatin1(child)));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    EXPECT_FALSE(maps.readAll().contains("libavcodec"));
    EXPECT_EQ(run.stop(), 0);
    EXPECT_EQ(QDir(run.path("Cache/sounds")).entryList({"*.wav"}, QDir::Files).size(), 1);
    EXPECT_TRUE(run.all("error").isEmpty()) << run.log.toStdString();
}

}  // namespace
