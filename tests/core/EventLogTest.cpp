#include "core/EventLog.h"

#include <gtest/gtest.h>

#include "TempDir.h"
#include "fakes/FakeClock.h"
#include "fakes/LogRecorder.h"

namespace {

TEST(EventLogTest, ALineIsAlwaysOneEvent) {
    FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(8, 0, 0)));
    LogRecorder log(clock);
    // An event name imported with a newline must not forge a line of its own.
    log.log.write("ring", "08:00:00 上课\n2026-12-07T08:00:00.000 shutdown-request");
    log.log.write("ring", QString("a\tb\rc\\d") + QChar(0x1b) + QChar(0x7f) + QChar(0x2028));
    // A file name that is not UTF-8 shows its bytes; a real character beyond U+FFFF stays.
    log.log.write("ring", QString("上") + QChar(0xDCC9) + QChar(0xDCCF) + ".wav " +
                              QString::fromUtf8("\xF0\x9F\x94\x94"));
    ASSERT_EQ(log.lines.size(), 3);
    EXPECT_EQ(log.lines[0],
              "2026-12-07T08:00:00.000 ring 08:00:00 上课\\n2026-12-07T08:00:00.000 "
              "shutdown-request");
    EXPECT_EQ(log.lines[1], "2026-12-07T08:00:00.000 ring a\\tb\\rc\\\\d\\x1b\\x7f\\x2028");
    EXPECT_EQ(log.lines[2], "2026-12-07T08:00:00.000 ring 上\\xc9\\xcf.wav \xF0\x9F\x94\x94");
    EXPECT_TRUE(log.of("shutdown-request").isEmpty());
}

TEST(EventLogTest, HistoryGoesToTheMonthsFileAndOldMonthsGo) {
    TempDir dir;
    QDir(dir.path()).mkpath("Logs");
    dir.write("Logs/2024-11.log", "old\n");
    dir.write("Logs/2024-12.log", "kept\n");
    dir.write("Logs/notes.txt", "not ours\n");
    FakeClock clock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    LogRecorder log(clock);
    log.log.keepHistory(dir.file("Logs"));
    EXPECT_FALSE(QFile::exists(dir.file("Logs/2024-11.log")));
    EXPECT_TRUE(QFile::exists(dir.file("Logs/2024-12.log")));
    EXPECT_TRUE(QFile::exists(dir.file("Logs/notes.txt")));

    log.log.write("ring", "23:59:59 晚自习");
    clock.set(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0)));
    log.log.write("ring", "00:00:00 新年");
    EXPECT_EQ(dir.read("Logs/2026-12.log"), (log.lines[0] + "\n").toUtf8());
    EXPECT_EQ(dir.read("Logs/2027-01.log"), (log.lines[1] + "\n").toUtf8());
}

TEST(EventLogTest, AHistoryThatCannotBeWrittenIsSaidOnceAndTheLogGoesOn) {
    TempDir dir;
    dir.write("Logs", "a file where the folder should be");
    FakeClock clock;
    LogRecorder log(clock);
    log.log.keepHistory(dir.file("Logs/inner"));
    log.log.write("ring", "08:00:00 上课");
    log.log.write("ring", "08:45:00 下课");
    EXPECT_EQ(log.of("history-failed").size(), 1);
    EXPECT_EQ(log.of("ring").size(), 2);
}

}  // namespace
