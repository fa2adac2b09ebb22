#include "ringing/NextEventHint.h"

#include <gtest/gtest.h>

#include "calendar/SchoolCalendar.h"
#include "core/AppError.h"
#include "fakes/FakeClock.h"
#include "ringing/BellState.h"
#include "schedule/ScheduleFixture.h"

namespace {

constexpr std::array<bool, 7> kWeekdays{true, true, true, true, true, false, false};
constexpr std::array<bool, 7> kNever{false, false, false, false, false, false, false};

struct NextEventHintTest : ::testing::Test {
    DataFolder data;
    ScheduleTable table;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(8, 0, 0))};  // a Monday
    BellState state;
    SchoolCalendar calendar;
    NextEventHint hint{table, clock, calendar, state};

    void open(const std::vector<ScheduleRow>& rows) {
        data.fill("temp.dat", rows);
        table.setFolder(data.path());
        table.open("temp.dat");
    }
    QString hintAt(int h, int m, int s) {
        clock.setTime(QTime(h, m, s));
        hint.ShowHintByClock();
        return state.hint();
    }
};

TEST_F(NextEventHintTest, TextsCarryTheirSpacesExactly) {
    EXPECT_EQ(NextEventHint::rowText(8, 5, 0, "上课"),
              "事件提示：下一个事件 8 时5 分0 秒 <<<上课>>>");
    EXPECT_EQ(NextEventHint::rowText(12, 30, 15, "下课"),
              "事件提示：下一个事件 12 时30 分15 秒 <<<下课>>>");
}

TEST_F(NextEventHintTest, ByClockNamesTheFirstRowStrictlyLater) {
    open({makeRow(8, 0, 0, "上课"), makeRow(8, 45, 0, "下课"), makeRow(16, 0, 0, "放学")});
    EXPECT_EQ(hintAt(7, 0, 0), NextEventHint::rowText(8, 0, 0, "上课"));
    EXPECT_EQ(hintAt(8, 0, 0), NextEventHint::rowText(8, 45, 0, "下课"));  // not the row at now
    EXPECT_EQ(table.recNo(), 2);
    EXPECT_EQ(hintAt(15, 59, 59), NextEventHint::rowText(16, 0, 0, "放学"));
    EXPECT_EQ(hintAt(16, 0, 0), "事件提示：已经是最后一个事件");
    EXPECT_EQ(table.recNo(), 3);  // the last row stays highlighted
    EXPECT_EQ(hintAt(23, 59, 59), "事件提示：已经是最后一个事件");
}

TEST_F(NextEventHintTest, ByClockIgnoresWeekdaysAndHandlesAnEmptyTable) {
    open({makeRow(7, 50, 0, "a", "/x.mp3", kWeekdays), makeRow(8, 0, 0, "off", "/x.mp3", kNever),
          makeRow(8, 45, 0, "b", "/x.mp3", kWeekdays)});
    EXPECT_EQ(hintAt(7, 55, 0), NextEventHint::rowText(8, 0, 0, "off"));
    open({});
    EXPECT_EQ(hintAt(7, 0, 0), "事件提示：已经是最后一个事件");
}

TEST_F(NextEventHintTest, AfterRingSkipsRowsThatAreOffToday) {
    open({makeRow(7, 50, 0, "a", "/x.mp3", kWeekdays), makeRow(8, 0, 0, "off", "/x.mp3", kNever),
          makeRow(8, 45, 0, "b", "/x.mp3", kWeekdays),
          makeRow(17, 0, 0, "weekend", "/x.mp3", {false, false, false, false, false, true, true})});
    table.locate(7, 50, 0);
    hint.ShowHintAfterRing();
    EXPECT_EQ(state.hint(), NextEventHint::rowText(8, 45, 0, "b"));
    hint.ShowHintAfterRing();  // after the last row that rings on Monday
    EXPECT_EQ(state.hint(), "事件提示：已经是最后一个事件");
    EXPECT_EQ(table.recNo(), 4);

    clock.set(QDateTime(QDate(2026, 12, 12), QTime(8, 0, 0)));  // Saturday
    table.locate(8, 45, 0);
    hint.ShowHintAfterRing();
    EXPECT_EQ(state.hint(), NextEventHint::rowText(17, 0, 0, "weekend"));
}

TEST_F(NextEventHintTest, AClosedTableFailsAndKeepsTheOldText) {
    state.setNextEvent("old");
    EXPECT_THROW(hint.ShowHintByClock(), AppError);
    EXPECT_EQ(state.hint(), "old");
}

}  // namespace
