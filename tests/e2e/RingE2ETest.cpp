// The program run as a school runs it: started on a Monday morning with automatic ringing
// remembered, it plays its start-up tune, switches ringing on by itself and rings the timetable.
#include <gtest/gtest.h>

#include <QFile>

#include "core/IniFile.h"
#include "e2e/ProgramRun.h"
#include "ringing/TestMedia.h"
#include "schedule/ScheduleFixture.h"

namespace {

constexpr std::array<bool, 7> kMonToFri{true, true, true, true, true, false, false};

ScheduleRow row(int h, int m, int s, const QString& event, const QString& sound) {
    return makeRow(h, m, s, event, sound, kMonToFri);
}

TEST(RingE2ETest, StartsItsTuneThenRingsEachRowAtItsSecond) {
    ProgramRun run;
    testmedia::writeWav(run.path("Music/上课 铃.wav"), 1000);
    for (int i = 0; i < 3; ++i) {
        testmedia::writeWav(run.path(QStringLiteral("随机音乐/曲%1.wav").arg(i)), 800);
    }
    ScheduleDb(run.dataFile("temp.dat"))
        .replaceAll({row(8, 0, 0, "上课", "Music/上课 铃.wav"), row(8, 0, 3, "课间", "随机音乐"),
                     row(8, 0, 4, "周末", "Music/上课 铃.wav")});
    IniFile(run.path("config.ini")).writeInteger("Set", "Auto_Play", 1);

    run.start("2026-12-07T07:59:52");  // a Monday
    EXPECT_EQ(run.waitFor("startup-tune"), run.path("sys.mp3"));
    const QString first = run.waitFor("ring");
    EXPECT_EQ(first, "08:00:00 上课 " + run.path("Music/上课 铃.wav")) << run.log.toStdString();
    run.waitFor("playlist-tune", 8000);
    EXPECT_EQ(run.stop(), 0);

    const QStringList rings = run.all("ring");
    ASSERT_GE(rings.size(), 3) << run.log.toStdString();
    EXPECT_TRUE(rings[1].startsWith("08:00:03 课间 " + run.path(QStringLiteral("随机音乐/曲"))));
    EXPECT_TRUE(rings[2].startsWith("08:00:04 周末 "));
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

    run.start("2026-12-07T17:29:55");
    EXPECT_FALSE(run.waitFor("shutdown-request").startsWith("<no"));
    run.waitFor("never", 3000);  // a few more seconds
    EXPECT_EQ(run.stop(), 0);
    EXPECT_EQ(run.all("shutdown-request").size(), 1);
    QFile requests(run.path("shutdown-requests"));
    ASSERT_TRUE(requests.open(QIODevice::ReadOnly));
    EXPECT_EQ(requests.readAll(), "requested\n");
}

}  // namespace
