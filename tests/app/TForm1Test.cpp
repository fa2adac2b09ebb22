#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/FormFixture.h"
#include "app/RadioGroup.h"
#include "core/AppError.h"
#include "core/SecondTimer.h"
#include "ringing/BellState.h"
#include "ringing/NextEventHint.h"
#include "scheduleui/ScheduleGrid.h"

namespace {

using TForm1Test = FormFixture;

TEST_F(TForm1Test, WindowHasItsCaptionSizeAndInitialTexts) {
    TForm1& f = start();
    EXPECT_EQ(f.windowTitle(), "Tollvane V1.3.3");
    EXPECT_EQ(f.size(), QSize(599, 431));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(f.lbl2->text(), "播放状态：空闲");
    EXPECT_EQ(f.lbl11->text(), "88:88:88");
    EXPECT_EQ(f.lbl11->geometry(), f.lbl1->geometry());
    EXPECT_EQ(f.lbl1->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    EXPECT_EQ(f.lbl11->palette().color(QPalette::WindowText), QColor(192, 220, 192));
    EXPECT_EQ(f.pnl1->palette().color(QPalette::Window), QColor(216, 228, 248));
    EXPECT_EQ(f.lbl1->font().pixelSize(), 45);
    EXPECT_FALSE(f.lbl3->isVisibleTo(&f));
    EXPECT_FALSE(f.btn5->isEnabled());
    EXPECT_EQ(f.edtshijian->text(), "上课");
    for (QCheckBox* day : f.chkweek) {
        EXPECT_TRUE(day->isChecked());
    }
    QStringList bottom;
    for (QPushButton* b : {f.btn12, f.btn2, f.btn8, f.btn4, f.btn5, f.btn9, f.btn14, f.btn7}) {
        bottom << b->text();
    }
    EXPECT_EQ(bottom.join(' '), "录音 增加项目 清空项目 删除项目 保存项目 隐藏 关机设定 关闭");
    EXPECT_EQ(f.bell().startupCount(), 16);
    EXPECT_FALSE(f.EventNear());
    EXPECT_FALSE(f.tmr1->isEnabled());
    EXPECT_TRUE(clockRunning);
}

TEST_F(TForm1Test, NoSettingsFileStartsTemporarySunnyWithBoxesUnticked) {
    TForm1& f = start();
    EXPECT_EQ(f.rg1->itemIndex(), 0);
    EXPECT_EQ(f.rg2->itemIndex(), 0);
    EXPECT_EQ(openTable(), "temp.dat");
    EXPECT_FALSE(f.chk2->isChecked() || f.chk4->isChecked() || f.chk5->isChecked());
    EXPECT_EQ(setting("RunMode"), 0);  // written once the table opened
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(log.of("table-open"), QStringList{dataFile("temp.dat")});
}

TEST_F(TForm1Test, EveryStoredRunModeAndWeatherOpensItsTable) {
    const struct {
        const char* config;
        int mode, weather;
        const char* table;
    } cases[] = {
        {"[Set]\nRunMode=0\nWeather=0\n", 0, 0, "temp.dat"},
        {"[Set]\nRunMode=0\nWeather=1\n", 0, 1, "temp.dat"},
        {"[Set]\nRunMode=1\nWeather=0\n", 1, 0, "xiaqing.dat"},
        {"[Set]\nRunMode=1\nWeather=1\n", 1, 1, "xiayu.dat"},
        {"[Set]\nRunMode=2\nWeather=0\n", 2, 0, "dongqing.dat"},
        {"[Set]\nRunMode=2\nWeather=1\n", 2, 1, "dongyu.dat"},
        {"[Set]\nRunMode=abc\nWeather=1\n", 0, 1, "temp.dat"},
        {"[Set]\nRunMode=0x2\nWeather=0x1\n", 2, 1, "dongyu.dat"},
        {"[Set]\nRunMode=7\nWeather=5\n", 2, 1, "dongyu.dat"},
        {"[Set]\nRunMode=-1\nWeather=-3\n", 0, 0, "temp.dat"},
        {"[set]\nrunmode=1\n", 1, 0, "xiaqing.dat"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.config);
        writeConfig(c.config);
        TForm1& f = start();
        EXPECT_EQ(f.rg1->itemIndex(), c.mode);
        EXPECT_EQ(f.rg2->itemIndex(), c.weather);
        EXPECT_EQ(openTable(), c.table);
        EXPECT_EQ(setting("RunMode"), c.mode);
        EXPECT_TRUE(dialogs.errors.isEmpty());
        form.reset();
    }
}

TEST_F(TForm1Test, PickingRunModeAndWeatherSwitchesTablesAndSavesTheChoice) {
    fill("xiayu.dat", {makeRow(9, 0, 0, "summer rain")});
    fill("dongyu.dat", {makeRow(9, 0, 0, "winter rain")});
    fill("dongqing.dat", {makeRow(9, 0, 0, "winter sun")});
    TForm1& f = start();
    f.rg1->setItemIndex(1);
    f.rg2->setItemIndex(1);
    EXPECT_EQ(openTable(), "xiayu.dat");
    EXPECT_EQ(setting("Weather"), 1);
    f.rg1->setItemIndex(2);
    EXPECT_EQ(openTable(), "dongyu.dat");
    EXPECT_EQ(setting("RunMode"), 2);
    f.rg2->setItemIndex(0);
    EXPECT_EQ(openTable(), "dongqing.dat");
    EXPECT_EQ(setting("Weather"), 0);
    EXPECT_EQ(f.dbsmdbgrd1->model()->index(0, 4).data().toString(), "winter sun");
    EXPECT_TRUE(f.dbsmdbgrd1->isColumnHidden(0));
    EXPECT_EQ(f.dbsmdbgrd1->columnWidth(5), 280);

    // Temporary mode keeps one table whatever the weather; the weather is still saved.
    f.rg1->setItemIndex(0);
    f.rg2->setItemIndex(1);
    EXPECT_EQ(openTable(), "temp.dat");
    EXPECT_EQ(setting("Weather"), 1);
    EXPECT_EQ(setting("RunMode"), 0);

    // A restart restores the last pair.
    form.reset();
    start();
    EXPECT_EQ(form->rg1->itemIndex(), 0);
    EXPECT_EQ(form->rg2->itemIndex(), 1);
}

TEST_F(TForm1Test, AMissingTableIsReportedAndALaterGoodPickWorks) {
    QFile::remove(dataFile("dongyu.dat"));
    fill("xiaqing.dat", {makeRow(9, 0, 0, "summer")});
    writeConfig("[Set]\nRunMode=2\nWeather=1\n");
    TForm1& f = start();
    ASSERT_FALSE(dialogs.errors.isEmpty());
    EXPECT_TRUE(dialogs.errors.back().contains(dataFile("dongyu.dat")));
    EXPECT_TRUE(dialogs.errors.back().endsWith('.'));
    EXPECT_FALSE(f.dbsmtbl1.isOpen());
    EXPECT_EQ(f.dbsmdbgrd1->model()->rowCount(), 0);
    EXPECT_EQ(f.rg1->itemIndex(), 2);  // the group keeps showing the pick
    EXPECT_FALSE(log.of("error").isEmpty());
    // Start-up went on past the failure.
    EXPECT_EQ(f.pnl1->palette().color(QPalette::Window), QColor(216, 228, 248));
    EXPECT_TRUE(clockRunning);

    // Winter is still chosen: switching the weather writes it but the rainy table is missing.
    dialogs.errors.clear();
    f.rg2->setItemIndex(0);
    EXPECT_EQ(openTable(), "dongqing.dat");
    f.rg2->setItemIndex(1);
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(setting("Weather"), 1);
    EXPECT_EQ(setting("RunMode"), 2);
    f.rg1->setItemIndex(1);
    EXPECT_EQ(openTable(), "xiayu.dat");
    f.rg2->setItemIndex(0);
    EXPECT_EQ(openTable(), "xiaqing.dat");
    EXPECT_EQ(f.dbsmtbl1.current().event, "summer");
}

TEST_F(TForm1Test, StoredOptionBoxesAreRestored) {
    writeConfig("[Set]\nAuto_Run=2\nAutoClose=1\nMiniRun=1\n");
    TForm1& f = start();
    EXPECT_FALSE(f.chk2->isChecked());
    EXPECT_TRUE(f.chk5->isChecked());
    EXPECT_TRUE(f.chk4->isChecked());
    f.showAtStart();
    EXPECT_FALSE(f.isVisible());  // it starts in the tray
}

TEST_F(TForm1Test, HintAtStartNamesTheNextRowAndHighlightsIt) {
    fill("temp.dat",
         {makeRow(7, 50, 0, "预备"), makeRow(8, 5, 0, "上课"), makeRow(8, 45, 0, "下课")});
    clock.setTime(QTime(8, 0, 0));
    TForm1& f = start();
    EXPECT_EQ(f.lbl9->text(), "事件提示：下一个事件 8 时5 分0 秒 <<<上课>>>");
    EXPECT_EQ(f.dbsmdbgrd1->selectionModel()->selectedRows().value(0).row(), 1);
}

TEST_F(TForm1Test, ClockTickShowsTimeAndDateFormattedByTheProgram) {
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(7, 5, 9)));
    TForm1& f = start();
    f.tmr2Timer();
    EXPECT_EQ(f.lbl1->text(), "07:05:09");
    EXPECT_EQ(f.lbl12->text(), "2026年12月8日    星期二");
}

TEST_F(TForm1Test, AFailingTickIsReportedAndTheNextTickRuns) {
    TForm1& f = start();
    int ticks = 0;
    auto tick = [&] {
        ++ticks;
        if (ticks == 1) {
            throw AppError("磁盘已满");
        }
        f.tmr2Timer();
    };
    EXPECT_FALSE(f.guard().run(tick));
    EXPECT_EQ(dialogs.errors, QStringList{"磁盘已满."});
    clock.advance(1);
    EXPECT_TRUE(f.guard().run(tick));
    EXPECT_EQ(f.lbl1->text(), "08:00:01");
}

}  // namespace

namespace {

TEST_F(TForm1Test, ALineTooLongForItsPlaceEndsInAnEllipsisWithTheWholeTextAsTip) {
    TForm1& f = start();
    const QString name = QString(40, QChar(0x8bfe));  // a forty-character event name
    const QString whole = BellState::countdownText(5, name);
    f.bell().setNear(clock.now().addSecs(5), name, clock.now());
    f.bell().updateCountdown(clock.now());
    EXPECT_EQ(f.bell().hint(), whole);
    EXPECT_TRUE(f.lbl9->text().endsWith(QChar(0x2026)));
    EXPECT_TRUE(whole.startsWith(f.lbl9->text().chopped(1)));
    EXPECT_LE(f.lbl9->fontMetrics().horizontalAdvance(f.lbl9->text()), f.lbl9->width());
    EXPECT_EQ(f.lbl9->toolTip(), whole);
    f.bell().clearNear();  // a text that fits has no tip
    EXPECT_FALSE(f.lbl9->text().endsWith(QChar(0x2026)));
    EXPECT_TRUE(f.lbl9->toolTip().isEmpty());
}

}  // namespace
