// A whole school week, second by second, through the real handlers: every row must ring exactly
// once on each of its weekdays and never on another, also when ticks come late, twice, or with
// the clock stepped back.
#include <map>
#include <random>

#include "ringing/SchedulerFixture.h"

namespace {

struct SchoolWeekTest : SchedulerFixture {
    std::vector<ScheduleRow> timetable;
    QString gone;

    void SetUp() override {
        tunes(6);
        const QString wav = sound("Music/预备 铃.wav");
        const QString mp3 = sound("Music/bell.mp3");
        const QString mid = sound("Music/chime.mid");
        gone = folder.file("Music/deleted.mp3");
        const std::array<bool, 7> monWedFri{true, false, true, false, true, false, false};
        const std::array<bool, 7> monToThu{true, true, true, true, false, false, false};
        const std::array<bool, 7> saturday{false, false, false, false, false, true, false};
        const std::array<bool, 7> sunday{false, false, false, false, false, false, true};
        timetable = {
            makeRow(0, 0, 0, "午夜", mp3, sunday),
            makeRow(7, 30, 0, "预备", "Music/预备 铃.wav", kMonToFri),
            makeRow(7, 40, 0, "早读", mp3, kMonToFri),
            makeRow(8, 0, 0, "第一节", mid, kMonToFri),
            makeRow(8, 45, 0, "下课", wav, kMonToFri),
            makeRow(8, 55, 0, "第二节", mp3, kMonToFri),
            makeRow(9, 0, 0, "周末活动", mp3, saturday),
            makeRow(9, 40, 0, "课间操", "随机音乐", kMonToFri),
            makeRow(9, 40, 8, "课间操后", mp3, kMonToFri),  // interrupts the playlist
            makeRow(10, 10, 0, "第三节", mp3, monToThu),
            makeRow(11, 45, 0, "午饭", "随机音乐", kEveryDay),
            makeRow(12, 30, 0, "午休", gone, kMonToFri),
            makeRow(14, 0, 0, "下午", mp3, monWedFri),
            makeRow(16, 30, 0, "放学", mp3, kMonToFri),
            makeRow(23, 59, 59, "最后一秒", mp3, kEveryDay),
        };
        fill("temp.dat", timetable);
    }

    // (day, event) -> how often it rang, read from the log.
    std::map<std::pair<QDate, QString>, int> rang() const {
        std::map<std::pair<QDate, QString>, int> counts;
        for (const QString& line : log.lines) {
            const QString kind = line.section(' ', 1, 1);
            const QDate day = QDate::fromString(line.left(10), Qt::ISODate);
            if (kind == "ring") {
                ++counts[{day, line.section(' ', 3, 3)}];
            } else if (kind == "missing-file" && line.section(' ', 2) == gone) {
                ++counts[{day, QStringLiteral("午休")}];
            }
        }
        return counts;
    }

    void expectEveryRowOnceOnItsDays() {
        const auto counts = rang();
        int expected = 0;
        for (int day = 0; day < 7; ++day) {
            const QDate date = QDate(2026, 12, 7).addDays(day);
            for (const ScheduleRow& row : timetable) {
                const auto it = counts.find({date, row.event});
                const int n = it == counts.end() ? 0 : it->second;
                const int want = row.days[static_cast<size_t>(day)] ? 1 : 0;
                expected += want;
                EXPECT_EQ(n, want)
                    << row.event.toStdString() << " on " << date.toString().toStdString();
            }
        }
        int total = 0;
        for (const auto& entry : counts) {
            total += entry.second;
        }
        EXPECT_EQ(total, expected);  // nothing rang that is not in the timetable
        EXPECT_TRUE(log.of("missed").isEmpty());
    }
};

TEST_F(SchoolWeekTest, EveryRowRingsOnceOnEachOfItsDays) {
    TForm1& f = startRinging(at(0, 0, 0, 0));
    for (QDateTime t = at(0, 0, 0, 0); t < at(7, 0, 0, 0); t = t.addSecs(1)) {
        tick(t);
    }
    expectEveryRowOnceOnItsDays();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join('\n').toStdString();
    // Random playlists ran past their first tune (lunch: four tunes, six days... at least).
    EXPECT_GE(log.of("playlist-tune").size(), 6u * 3);
    EXPECT_FALSE(f.EventNear());
}

TEST_F(SchoolWeekTest, EveryRowRingsOnceWhenTicksComeLateTwiceOrBackwards) {
    startRinging(at(0, 0, 0, 0));
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> small(1, 4);
    int late = 0, doubled = 0, back = 0;
    QDateTime t = at(0, 0, 0, 0);
    while (t < at(7, 0, 0, 0)) {
        const int roll = percent(random);
        if (roll < 3) {
            const int skip = small(random);  // the event loop was busy
            t = t.addSecs(skip);
            ++late;
        }
        if (t >= at(7, 0, 0, 0)) {
            break;
        }
        tick(t);
        if (roll >= 3 && roll < 5) {
            tick(t, 0);  // a second tick in the same second
            ++doubled;
        } else if (roll == 5) {
            tick(t.addSecs(-small(random)), 0);  // a time-sync correction
            ++back;
        }
        t = t.addSecs(1);
    }
    ASSERT_GT(late, 1000);
    ASSERT_GT(doubled, 1000);
    ASSERT_GT(back, 1000);
    expectEveryRowOnceOnItsDays();
}

}  // namespace
