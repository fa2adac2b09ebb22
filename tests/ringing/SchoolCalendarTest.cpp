// The school calendar over a simulated term: the real scheduler and clock tick, a summer and a
// winter timetable, a week-long holiday, make-up days on a Saturday and a Sunday and a
// summer-to-winter switch date, typed in the calendar window or imported from CSV.
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include "calendar/CalendarStore.h"
#include "calendarui/CalendarWindow.h"
#include "ringing/CalendarDay.h"
#include "ringing/ClockTick.h"
#include "ringing/NextEventHint.h"
#include "ringing/SchedulerFixture.h"
#include "table/CalendarCsv.h"

namespace {

constexpr std::array<bool, 7> kThursday{false, false, false, true, false, false, false};
constexpr std::array<bool, 7> kFriday{false, false, false, false, true, false, false};
constexpr std::array<bool, 7> kWeekend{false, false, false, false, false, true, true};

const QString kTermCsv = QStringLiteral(
    "类型,开始,结束,按星期,运行模式,说明\n"
    "作息切换,2026-05-01,,,夏季,\n"
    "调休,2026-09-27,,4,,国庆调休\n"
    "放假,2026-10-01,2026-10-07,,,国庆节\n"
    "作息切换,2026-10-08,,,冬季,\n"
    "调休,2026-10-10,,5,,国庆调休\n");

QDateTime on(const QDate& day, const QTime& time) {
    return QDateTime(day, time, Qt::UTC);
}

struct SchoolCalendarTest : SchedulerFixture {
    const std::vector<ScheduleRow> summer = {makeRow(8, 0, 0, "夏上课", "a.wav", kMonToFri),
                                             makeRow(9, 0, 0, "夏周四", "a.wav", kThursday),
                                             makeRow(10, 0, 0, "夏周末", "a.wav", kWeekend)};
    const std::vector<ScheduleRow> winter = {makeRow(8, 30, 0, "冬上课", "a.wav", kMonToFri),
                                             makeRow(9, 0, 0, "冬周五", "a.wav", kFriday)};
    const QList<QTime> rowTimes = {QTime(8, 0), QTime(8, 30), QTime(9, 0), QTime(10, 0)};

    void prepareTerm() {
        sound("a.wav");
        sound("sys.mp3");
        fill("xiaqing.dat", summer);
        fill("dongqing.dat", winter);
        writeConfig("[Set]\nRunMode=1\nWeather=0\nAuto_Play=1\n");
    }
    // Both timers once a second over [from, from + seconds].
    void window(const QDateTime& from, int seconds) {
        for (int i = 0; i <= seconds; ++i) {
            clockTick(from.addSecs(i));
            tick(from.addSecs(i));
        }
    }
    // Each day: its first seconds, the noon refresh and the ten seconds before each row time;
    // a holiday's rows are skipped over as a clock gap, so a row logged as missed would show.
    void runTerm(const QDate& first, const QDate& last) {
        for (QDate day = first; day <= last; day = day.addDays(1)) {
            window(on(day, QTime(0, 0)).addSecs(-2), 4);
            if (form->calendarBook().calendar().holidayOn(day) == nullptr) {
                for (const QTime& t : rowTimes) {
                    window(on(day, t).addSecs(-12), 14);
                }
            }
            window(on(day, QTime(12, 12, 10)), 4);
        }
    }
    // "yyyy-MM-dd HH:mm:ss event" of every ring.
    QStringList rung() const {
        QStringList out;
        for (const QString& line : log.lines) {
            if (line.section(' ', 1, 1) == "ring") {
                out << line.left(10) + ' ' + line.section(' ', 2, 3);
            }
        }
        return out;
    }
    void typeInWindow(const QString& kind, const QDate& from, const QDate& to, int weekday,
                      int runMode, const QString& note) {
        CalendarWindow& w = *form->calendarWindow;
        w.kind->setCurrentText(kind);
        w.from->setDate(from);
        w.to->setDate(to);
        w.weekday->setCurrentIndex(weekday - 1);
        w.runMode->setCurrentIndex(runMode - 1);
        w.note->setText(note);
        w.add->click();
    }
};

struct TermTest : SchoolCalendarTest, ::testing::WithParamInterface<bool> {};

TEST_P(TermTest, EveryRowRingsExactlyOnTheDaysTheCalendarAndFlagsSay) {
    prepareTerm();
    const bool typed = GetParam();
    if (!typed) {
        const calendarcsv::Parsed parsed = calendarcsv::read(kTermCsv);
        ASSERT_TRUE(parsed.errors.isEmpty()) << parsed.errors.join('\n').toStdString();
        calendarstore::save(dataFile("calendar.dat"), parsed.entries);
    }
    const QDate first(2026, 9, 26);  // a Saturday
    const QDate last(2026, 10, 18);
    startRinging(on(first, QTime(6, 0)));
    if (typed) {
        typeInWindow("作息切换", QDate(2026, 5, 1), {}, 1, 1, "");
        typeInWindow("调休", QDate(2026, 9, 27), {}, 4, 1, "国庆调休");
        typeInWindow("放假", QDate(2026, 10, 1), QDate(2026, 10, 7), 1, 1, "国庆节");
        typeInWindow("作息切换", QDate(2026, 10, 8), {}, 1, 2, "");
        typeInWindow("调休", QDate(2026, 10, 10), {}, 5, 1, "国庆调休");
        ASSERT_TRUE(dialogs.notices.isEmpty()) << dialogs.notices.join('\n').toStdString();
        ASSERT_EQ(calendarstore::load(dataFile("calendar.dat")).size(), 5u);
    }
    runTerm(first, last);

    // What should ring, worked out from the calendar's rules directly.
    QStringList expected;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        if (day >= QDate(2026, 10, 1) && day <= QDate(2026, 10, 7)) {
            continue;
        }
        int weekday = day.dayOfWeek();
        weekday = day == QDate(2026, 9, 27) ? 4 : day == QDate(2026, 10, 10) ? 5 : weekday;
        for (const ScheduleRow& row : day >= QDate(2026, 10, 8) ? winter : summer) {
            if (row.days[static_cast<size_t>(weekday - 1)]) {
                expected << day.toString(Qt::ISODate) + ' ' +
                                tod::hms(QTime(row.hour, row.minute, row.second)) + ' ' + row.event;
            }
        }
    }
    EXPECT_EQ(rung(), expected);
    EXPECT_TRUE(log.of("missed").isEmpty()) << log.of("missed").join('\n').toStdString();
    EXPECT_EQ(log.of("calendar-holiday").size(), 7);
    EXPECT_EQ(log.of("calendar-makeup"),
              (QStringList{"2026-09-27 按星期四 国庆调休", "2026-10-10 按星期五 国庆调休"}));
    // The summer switch already in force is taken once at start-up; winter at its first second.
    EXPECT_EQ(log.of("calendar-switch"), (QStringList{"2026-05-01 夏季", "2026-10-08 冬季"}));
    EXPECT_TRUE(
        log.lines.filter(" calendar-switch 2026-10-08").front().startsWith("2026-10-08T00:00:00"));
    EXPECT_EQ(openTable(), "dongqing.dat");
    EXPECT_EQ(setting("RunMode"), 2);
}

INSTANTIATE_TEST_SUITE_P(ImportedOrTyped, TermTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                             return p.param ? "Typed" : "Imported";
                         });

TEST_F(SchoolCalendarTest, StartUpSwitchesRingingOnOnSchoolDaysAndSaysTheDay) {
    const struct {
        QDate day;
        bool ringingOn;
        QString hint;  // the hint line after start-up, when it says why ringing is off
        QString dateLine;
    } cases[] = {
        {QDate(2026, 10, 2), false, ClockTick::holidayText("国庆节"),
         "10月2日 星期五  今天放假（国庆节）"},
        {QDate(2026, 9, 27), true, {}, "9月27日  今天调休，按星期四作息"},
        {QDate(2026, 10, 10), true, {}, "10月10日  今天调休，按星期五作息"},
        {QDate(2026, 10, 17), false, "事件提示：今天是周末，如果要进行工作，请手动选择<自动播放>",
         "2026年10月17日    星期六"},
        {QDate(2026, 10, 19), true, {}, "2026年10月19日    星期一"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day.toString(Qt::ISODate).toStdString());
        prepareTerm();
        calendarstore::save(dataFile("calendar.dat"), calendarcsv::read(kTermCsv).entries);
        clock.set(on(c.day, QTime(7, 0)));
        start();
        for (int i = 1; i <= 4; ++i) {
            clockTick(on(c.day, QTime(7, 0, i)));
        }
        EXPECT_EQ(form->chk1->isChecked(), c.ringingOn);
        if (!c.hint.isEmpty()) {
            EXPECT_EQ(form->bell().hint(), c.hint);
        }
        EXPECT_EQ(form->lbl12->toolTip(), c.dateLine);
        form.reset();
    }
}

TEST_F(SchoolCalendarTest, TheHintNamesOnlyABellThatRingsToday) {
    prepareTerm();
    calendarstore::save(dataFile("calendar.dat"), calendarcsv::read(kTermCsv).entries);
    clock.set(on(QDate(2026, 10, 10), QTime(7, 0)));  // a Saturday that rings as a Friday
    start();
    EXPECT_EQ(form->lbl9->text(), NextEventHint::rowText(8, 0, 0, "夏上课"));
    clock.set(on(QDate(2026, 10, 3), QTime(7, 0)));  // a holiday
    form->rg1Click();
    EXPECT_EQ(form->lbl9->text(), "事件提示：今天放假，不播放铃声");
}

TEST_F(SchoolCalendarTest, TheWindowRefusesAnOverlapAndDeletesWhatIsChosen) {
    prepareTerm();
    clock.set(on(QDate(2026, 10, 2), QTime(7, 0)));
    start();
    typeInWindow("放假", QDate(2026, 10, 1), QDate(2026, 10, 7), 1, 1, "国庆节");
    EXPECT_EQ(form->lbl12->toolTip(), "10月2日 星期五  今天放假（国庆节）");
    typeInWindow("调休", QDate(2026, 10, 3), {}, 6, 1, "");
    typeInWindow("放假", QDate(2026, 10, 7), QDate(2026, 10, 8), 1, 1, "");
    EXPECT_EQ(
        dialogs.notices,
        (QStringList{"不能添加：调休日在放假期间（2026-10-01 至 2026-10-07 放假（国庆节））",
                     "不能添加：与另一个放假（2026-10-01 至 2026-10-07 放假（国庆节））重叠"}));
    EXPECT_EQ(calendarstore::load(dataFile("calendar.dat")).size(), 1u);

    dialogs.answers = {true};
    form->calendarWindow->list->selectRow(0);
    form->calendarWindow->remove->click();
    EXPECT_TRUE(calendarstore::load(dataFile("calendar.dat")).empty());
    EXPECT_EQ(form->lbl12->toolTip(), "2026年10月2日    星期五");
    EXPECT_EQ(log.of("calendar-delete"), QStringList{"2026-10-01 至 2026-10-07 放假（国庆节）"});
}

}  // namespace
