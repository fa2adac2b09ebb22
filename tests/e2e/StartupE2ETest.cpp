#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QRegularExpression>

#include "core/IniFile.h"
#include "e2e/ProgramRun.h"
#include "schedule/ScheduleFixture.h"

namespace {

ScheduleRow row(int h, int m, int s, const QString& event) {
    return makeRow(h, m, s, event, "/nowhere/bell.mp3");
}

TEST(StartupE2ETest, StartsOnTheStoredTableLogsAndExitsCleanly) {
    ProgramRun run;
    ScheduleDb(run.dataFile("dongyu.dat")).replaceAll({row(8, 0, 0, "上课")});
    IniFile ini(run.path("config.ini"));
    ini.writeInteger("Set", "RunMode", 2);
    ini.writeInteger("Set", "Weather", 1);

    run.start("2026-12-07T07:59:50");
    const QString started = run.waitFor("start");
    EXPECT_TRUE(started.startsWith(run.path("tollvane") + " ")) << started.toStdString();
    // Every override in force is named.
    EXPECT_TRUE(started.contains(" TOLLVANE_NOW=2026-12-07T07:59:50")) << started.toStdString();
    EXPECT_TRUE(started.contains(" TOLLVANE_AUDIO_SINK=fakesink sync=true"));
    run.waitFor("table-open");
    EXPECT_EQ(run.stop(), 0);
    // Restoring the run mode and the weather may open tables on the way; the last one counts.
    EXPECT_EQ(run.all("table-open").last(), run.dataFile("dongyu.dat"));
    EXPECT_FALSE(run.all("exit").isEmpty());
    EXPECT_TRUE(run.all("error").isEmpty()) << run.log.toStdString();
    // Log lines carry the program's clock, not the machine's.
    EXPECT_TRUE(run.lines().front().startsWith("2026-12-07T07:59:5")) << run.log.toStdString();
    EXPECT_EQ(ini.readInteger("Set", "RunMode", -1), 2);
    // The history in the program folder holds the same lines, the month's file by the clock.
    QFile history(run.path("Logs/2026-12.log"));
    ASSERT_TRUE(history.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(history.readAll()).split('\n', Qt::SkipEmptyParts),
              run.lines().filter(QRegularExpression("^2026-")));
}

TEST(StartupE2ETest, AMissingTableIsLoggedAsAnErrorAndTheProgramRunsOn) {
    ProgramRun run;
    QFile::remove(run.dataFile("temp.dat"));
    run.start("2026-12-08T10:00:00");
    EXPECT_TRUE(run.waitFor("error").contains(run.dataFile("temp.dat")));
    EXPECT_EQ(run.process->state(), QProcess::Running);
    EXPECT_EQ(run.stop(), 0);
    EXPECT_FALSE(QFile::exists(run.dataFile("temp.dat")));
    EXPECT_FALSE(QFile::exists(run.path("config.ini")));  // RunMode is written only on success
}

TEST(StartupE2ETest, ASecondCopyRefusesToRunAndLeavesTheFirstRunning) {
    ProgramRun run;
    run.start("2026-12-08T10:00:00");
    ASSERT_FALSE(run.waitFor("table-open").startsWith("<no"));

    QProcess second;
    QStringList env = QProcess::systemEnvironment();
    env << "QT_QPA_PLATFORM=offscreen"
        << "XDG_RUNTIME_DIR=" + run.dir.path();
    second.setEnvironment(env);
    second.start(run.path("tollvane"));
    second.waitForStarted();
    // The second copy says so in its log, then waits at its warning box; whatever else it
    // writes (Qt may warn first), it never starts and never opens a table.
    QString said;
    QElapsedTimer waited;
    waited.start();
    while (!said.contains(" already-running ") && waited.elapsed() < 15000 &&
           second.state() == QProcess::Running) {
        second.waitForReadyRead(200);
        said += QString::fromUtf8(second.readAllStandardError());
    }
    EXPECT_TRUE(said.contains(" already-running ")) << said.toStdString();
    EXPECT_FALSE(said.contains(" start ")) << said.toStdString();
    EXPECT_FALSE(said.contains(" table-open ")) << said.toStdString();
    second.kill();
    second.waitForFinished();
    EXPECT_EQ(run.process->state(), QProcess::Running);
    EXPECT_EQ(run.stop(), 0);
    EXPECT_EQ(run.all("start").size(), 1);
}

}  // namespace
