// The main window of a PC that follows the school's bundle: editing and the calendar are locked,
// run mode and weather are not, and a new version rings at once without losing the coming bell.
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "app/RadioGroup.h"
#include "ringing/SchedulerFixture.h"
#include "schedule/RunModeSelection.h"
#include "sync/BundleFollower.h"
#include "sync/FolderBundleSource.h"
#include "table/Bundle.h"
#include "widgets/ClampingSpinBox.h"

namespace {

struct FollowerWindowTest : SchedulerFixture {
    TempDir schoolDir;
    QString school = schoolDir.file("school");
    QString share = schoolDir.file("share");

    FollowerWindowTest() {
        QDir().mkpath(school + "/Data");
        QDir().mkpath(school + "/Music");
        for (const QString& name : schedule::kTableNames) {
            ScheduleDb::create(school + "/Data/" + name);
        }
        for (const char* name : {"bell.mp3", "other.mp3"}) {
            schoolDir.write(QStringLiteral("school/Music/") + name, name);
        }
        bundleSource = [](const QString& source, Background& background) {
            return std::make_unique<FolderBundleSource>(source, background);
        };
        writeConfig("[Sync]\nSource=" + share.toUtf8() + "\n");
    }
    void publish(const std::vector<ScheduleRow>& rows) {
        ScheduleDb(school + "/Data/temp.dat").replaceAll(rows);
        bundle::publish(school, share);
    }
    QString pcFile(const QString& name) const { return folder.file(name); }
};

TEST_F(FollowerWindowTest, EditingAndTheCalendarAreLockedRunModeAndWeatherAreNot) {
    publish({makeRow(8, 0, 0, "上课", "Music/bell.mp3", kEveryDay)});
    TForm1& f = startRinging(at(0, 7, 0, 0));
    ASSERT_NE(f.follower(), nullptr);
    ASSERT_EQ(f.dbsmtbl1.rowCount(), 1);  // the school's rows, taken in at start
    EXPECT_EQ(log.of("sync").size(), 1);
    EXPECT_TRUE(f.grp1->title().contains("学校统一"));
    EXPECT_TRUE(f.grp1->toolTip().contains(share));
    EXPECT_TRUE(f.grp1->toolTip().contains("上次同步：2026-12-07 07:00:00"));
    for (bool ringing : {true, false}) {
        f.chk1->setChecked(ringing);
        const QList<QWidget*> editing{f.se_h, f.edtshijian, f.btn2,      f.btn4,
                                      f.btn8, f.btn1,       f.chkweek[0]};
        for (QWidget* w : editing) {
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString() << " ringing " << ringing;
        }
        EXPECT_FALSE(f.btnCalendar->isEnabled());
        EXPECT_EQ(f.rg1->isEnabled(), !ringing);
        EXPECT_EQ(f.rg2->isEnabled(), !ringing);
    }
    f.rg1->setItemIndex(1);  // 夏季 still switches the table
    f.rg1Click();
    EXPECT_EQ(f.dbsmtbl1.name(), RunModeSelection::tableName(1, 0));
}

TEST_F(FollowerWindowTest, ANewVersionRingsAtOnceAndTheComingBellStaysReadyWhenItsRowIsUnchanged) {
    const ScheduleRow bell = makeRow(8, 0, 0, "上课", "Music/bell.mp3", kEveryDay);
    const struct {
        const char* name;
        std::vector<ScheduleRow> next;
        const char* plays;  // at 08:00:00; empty: nothing rings
        int prepares;       // sounds made ready in all
        int swaps;          // how many prepared sounds the ring took up
    } cases[] = {
        {"another row changed",
         {bell, makeRow(8, 5, 0, "下课", "Music/bell.mp3", kEveryDay)},
         "Music/bell.mp3",
         1,
         1},
        {"its sound changed",
         {makeRow(8, 0, 0, "上课", "Music/other.mp3", kEveryDay)},
         "Music/other.mp3",
         2,
         1},
        {"its row removed", {makeRow(8, 5, 0, "下课", "Music/bell.mp3", kEveryDay)}, "", 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(pcFile("Cache")).removeRecursively();
        publish({bell});
        startRinging(at(0, 7, 59, 40));
        run(at(0, 7, 59, 50), at(0, 7, 59, 55));
        ASSERT_EQ(backend->standby(), pcFile("Music/bell.mp3"));
        publish(c.next);
        form->follower()->syncNow();
        EXPECT_EQ(form->dbsmtbl1.rows().size(), c.next.size());
        run(at(0, 7, 59, 56), at(0, 8, 0, 0));
        if (*c.plays) {
            EXPECT_EQ(rings().size(), 1);
            EXPECT_EQ(backend->current(), pcFile(c.plays));
        } else {
            EXPECT_TRUE(rings().isEmpty());
        }
        EXPECT_EQ(backend->prepared.size(), c.prepares);
        EXPECT_EQ(backend->swaps, c.swaps);
        form.reset();
        log.lines.clear();
    }
}

}  // namespace
