#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "core/SecondTimer.h"
#include "ringing/NextEventHint.h"
#include "ringing/SchedulerFixture.h"
#include "scheduleui/ScheduleGrid.h"
#include "widgets/ClampingSpinBox.h"

namespace {

using AutoPlaySwitchTest = SchedulerFixture;

// The main window's controls that are disabled by themselves (not through a parent), by name.
QStringList disabled(TForm1& f) {
    QStringList names;
    for (QWidget* w : f.findChildren<QWidget*>()) {
        if (w->window() == &f && w->testAttribute(Qt::WA_ForceDisabled) &&
            !w->objectName().startsWith("qt_")) {
            names << w->objectName();
        }
    }
    names.sort();
    return names;
}

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

TEST_F(AutoPlaySwitchTest, OnLocksTheTimetableOffGivesItBack) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", "/x.mp3"), makeRow(16, 0, 0, "放学", "/x.mp3")});
    clock.set(at(0, 16, 0, 1));
    TForm1& f = start();
    f.edtshijian->setText("早读");
    f.edtAudio_filename->setText("/a.mp3");
    f.chkweek[6]->setChecked(false);
    f.btn5->setEnabled(true);  // as after a double-click on a row
    f.se_h->setValue(9);

    f.chk1->setChecked(true);
    EXPECT_TRUE(f.tmr1->isEnabled());
    // Everything that changes or switches the timetable, and nothing else.
    EXPECT_EQ(disabled(f), sorted({"rg1",
                                   "rg2",
                                   "se_h",
                                   "se_m",
                                   "se_s",
                                   "edtshijian",
                                   "edtAudio_filename",
                                   "btn1",
                                   "btn2",
                                   "btn4",
                                   "btn5",
                                   "btn8",
                                   "btn11",
                                   "btn12",
                                   "chkweek1",
                                   "chkweek2",
                                   "chkweek3",
                                   "chkweek4",
                                   "chkweek5",
                                   "chkweek6",
                                   "chkweek7"}));
    EXPECT_TRUE(f.dbsmdbgrd1->locked());  // it stays enabled, to be scrolled
    EXPECT_TRUE(f.edtshijian->text().isEmpty());
    EXPECT_TRUE(f.edtAudio_filename->text().isEmpty());
    EXPECT_EQ(setting("Auto_Play"), 1);
    EXPECT_EQ(f.lbl9->text(), "事件提示：已经是最后一个事件");  // past the last row
    EXPECT_EQ(f.dbsmtbl1.recNo(), 2);

    f.chk1->setChecked(false);
    EXPECT_FALSE(f.tmr1->isEnabled());
    EXPECT_EQ(disabled(f), QStringList{"btn5"});  // only a double-click enables it again
    for (QCheckBox* day : f.chkweek) {
        EXPECT_TRUE(day->isChecked());
    }
    EXPECT_TRUE(f.edtshijian->text().isEmpty());
    EXPECT_EQ(f.se_h->value(), 9);
    EXPECT_EQ(setting("Auto_Play"), 0);
    EXPECT_EQ(f.lbl9->text(), "事件提示：已经是最后一个事件");  // kept
}

TEST_F(AutoPlaySwitchTest, TheLockedListScrollsButItsCurrentRowStaysTheBells) {
    std::vector<ScheduleRow> rows;
    for (int i = 0; i < 200; ++i) {
        rows.push_back(makeRow(i / 60 + 8, i % 60, 0, QString("第%1节").arg(i), "/x.mp3"));
    }
    fill("temp.dat", rows);
    TForm1& f = startRinging(at(0, 7, 0, 0));
    f.show();
    ScheduleGrid& grid = *f.dbsmdbgrd1;
    QScrollBar& bar = *grid.verticalScrollBar();
    const int bell = f.dbsmtbl1.recNo();
    ASSERT_GT(bar.maximum(), 100);
    ASSERT_EQ(bar.value(), 0);
    const struct {
        Qt::Key key;
        bool down;
    } keys[] = {{Qt::Key_PageDown, true},
                {Qt::Key_Down, true},
                {Qt::Key_End, true},
                {Qt::Key_Up, false},
                {Qt::Key_Home, false}};
    for (const auto& k : keys) {
        const int before = bar.value();
        QTest::keyClick(&grid, k.key);
        EXPECT_EQ(bar.value() > before, k.down) << k.key;
        EXPECT_EQ(f.dbsmtbl1.recNo(), bell) << k.key;
    }
    bar.setValue(bar.maximum());  // the scroll bar itself is free too
    const QPoint lastRow = grid.visualRect(grid.model()->index(199, 1)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, lastRow);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, lastRow);
    EXPECT_EQ(f.dbsmtbl1.recNo(), bell);
    EXPECT_TRUE(f.edtshijian->text().isEmpty());  // nothing loaded for editing

    f.chk1->setChecked(false);  // unlocked, a click makes the row current again
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, lastRow);
    EXPECT_EQ(f.dbsmtbl1.recNo(), 200);
}

TEST_F(AutoPlaySwitchTest, RunningTheHandlerTwiceIsHarmless) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", sound("Music/bell.mp3"))});
    TForm1& f = startRinging(at(0, 7, 59, 58));
    tick(at(0, 7, 59, 58));
    f.chk1Click();  // the start-up runs it once more after ticking the box
    run(at(0, 7, 59, 59), at(0, 8, 0, 0));
    EXPECT_EQ(rings().size(), 1);
    EXPECT_EQ(setting("Auto_Play"), 1);
}

TEST_F(AutoPlaySwitchTest, OnWithAnEmptyTableSaysTheLastEventHasPassed) {
    TForm1& f = start();
    f.chk1->setChecked(true);
    EXPECT_EQ(f.lbl9->text(), "事件提示：已经是最后一个事件");
}

}  // namespace
