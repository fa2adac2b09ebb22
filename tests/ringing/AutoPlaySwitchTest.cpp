#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include "core/SecondTimer.h"
#include "ringing/NextEventHint.h"
#include "ringing/SchedulerFixture.h"
#include "scheduleui/ScheduleGrid.h"
#include "widgets/ClampingSpinBox.h"

namespace {

using AutoPlaySwitchTest = SchedulerFixture;

QList<QWidget*> locked(TForm1& f) {
    QList<QWidget*> widgets{
        f.rg1,  f.rg2,  f.se_h, f.se_m, f.se_s,  f.edtshijian, f.edtAudio_filename,
        f.btn1, f.btn2, f.btn4, f.btn8, f.btn11, f.dbsmdbgrd1, f.btn12};
    for (QCheckBox* day : f.chkweek) {
        widgets << day;
    }
    return widgets;
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
    for (QWidget* w : locked(f)) {
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    }
    EXPECT_FALSE(f.btn5->isEnabled());
    EXPECT_TRUE(f.btn3->isEnabled() && f.btn6->isEnabled() && f.btn7->isEnabled() &&
                f.btn9->isEnabled() && f.btn14->isEnabled() && f.chk5->isEnabled());
    EXPECT_TRUE(f.edtshijian->text().isEmpty());
    EXPECT_TRUE(f.edtAudio_filename->text().isEmpty());
    EXPECT_EQ(setting("Auto_Play"), 1);
    EXPECT_EQ(f.lbl9->text(), NextEventHint::lastEventText());  // past the last row
    EXPECT_EQ(f.dbsmtbl1.recNo(), 2);

    f.chk1->setChecked(false);
    EXPECT_FALSE(f.tmr1->isEnabled());
    for (QWidget* w : locked(f)) {
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    }
    EXPECT_FALSE(f.btn5->isEnabled());
    for (QCheckBox* day : f.chkweek) {
        EXPECT_TRUE(day->isChecked());
    }
    EXPECT_TRUE(f.edtshijian->text().isEmpty());
    EXPECT_EQ(f.se_h->value(), 9);
    EXPECT_EQ(setting("Auto_Play"), 0);
    EXPECT_EQ(f.lbl9->text(), NextEventHint::lastEventText());  // kept
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
    EXPECT_EQ(f.lbl9->text(), NextEventHint::lastEventText());
}

}  // namespace
