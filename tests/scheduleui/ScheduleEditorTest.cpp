#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/FormFixture.h"
#include "app/RadioGroup.h"
#include "randommusic/TForm3.h"
#include "scheduleui/ScheduleEditor.h"
#include "scheduleui/ScheduleGrid.h"
#include "widgets/ClampingSpinBox.h"

namespace {

constexpr std::array<bool, 7> kMonToFri{true, true, true, true, true, false, false};

// Editing through the real window, with fake dialogs, over a temporary table folder.
struct ScheduleEditorTest : FormFixture {
    TForm1& f() { return *form; }
    void setGroup(int h, int m, int s, const QString& event, const QString& sound) {
        f().se_h->setValue(h);
        f().se_m->setValue(m);
        f().se_s->setValue(s);
        f().edtshijian->setText(event);
        f().edtAudio_filename->setText(sound);
    }
    QStringList stored(const QString& table = "temp.dat") const {
        QStringList out;
        for (const ScheduleRow& r : ScheduleDb(dataFile(table)).rows()) {
            out << QStringLiteral("%1:%2:%3 %4 %5")
                       .arg(r.hour)
                       .arg(r.minute)
                       .arg(r.second)
                       .arg(r.event, r.sound);
        }
        return out;
    }
    QString highlighted() const { return form->dbsmtbl1.current().event; }
    void load(int recNo) {
        form->dbsmtbl1.setRecNo(recNo);
        form->dbsmdbgrd1DblClick();
    }
};

TEST_F(ScheduleEditorTest, AddChecksCompletenessAndTimeThenStoresAndResetsTheGroup) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", "/a.mp3"), makeRow(9, 0, 0, "下课", "/b.mp3")});
    start();
    setGroup(7, 30, 0, "", "/c.mp3");
    f().btn2->click();
    setGroup(7, 30, 0, "早读", "");
    f().btn2->click();
    EXPECT_EQ(dialogs.notices,
              (QStringList{"设置信息不完整，请补充完整", "设置信息不完整，请补充完整"}));
    setGroup(9, 0, 0, "重复", "/c.mp3");
    f().btn2->click();
    EXPECT_EQ(dialogs.notices.last(), "此时间设置有重复，请重新设置时间");
    EXPECT_EQ(highlighted(), "下课");  // the row that has the time
    EXPECT_EQ(stored().size(), 2);

    setGroup(7, 30, 0, "早\t读", "/c.mp3");  // a tab would break the log's lines
    f().btn2->click();
    EXPECT_EQ(dialogs.notices.last(), "事件和声音文件里不能有换行、制表符等控制字符");
    EXPECT_EQ(stored().size(), 2);

    setGroup(7, 30, 0, " ", "/c.mp3");  // one blank is a name
    f().chkweek[6]->setChecked(false);
    f().btn2->click();
    EXPECT_EQ(stored().first(), "7:30:0   /c.mp3");
    EXPECT_FALSE(ScheduleDb(dataFile("temp.dat")).rows().front().days[6]);
    EXPECT_EQ(highlighted(), "上课");  // one row on from the new one
    EXPECT_TRUE(f().edtshijian->text().isEmpty());
    EXPECT_TRUE(f().edtAudio_filename->text().isEmpty());
    EXPECT_TRUE(f().chkweek[6]->isChecked());
    EXPECT_EQ(f().se_h->value(), 7);  // the time stays
    EXPECT_EQ(log.of("row-add"), QStringList{dataFile("temp.dat") + " 07:30:00  "});

    setGroup(23, 59, 59, "晚", "/d.mp3");  // the last row
    f().btn2->click();
    EXPECT_EQ(highlighted(), "晚");
}

TEST_F(ScheduleEditorTest, SaveRewritesTheLoadedRowWhereverItIsNow) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", "/a.mp3", kMonToFri),
                      makeRow(9, 0, 0, "下课", "/b.mp3"), makeRow(10, 0, 0, "课间", "/c.mp3")});
    start();
    EXPECT_FALSE(f().btn5->isEnabled());
    load(1);
    EXPECT_TRUE(f().btn5->isEnabled());
    EXPECT_EQ(f().edtshijian->text(), "上课");
    EXPECT_FALSE(f().chkweek[5]->isChecked());
    EXPECT_EQ(f().editRecNo, 1);

    // Unchanged time, new name; Cancel first changes nothing.
    f().edtshijian->setText("第一节");
    dialogs.answers = {false, true};
    f().btn5->click();
    EXPECT_EQ(stored().first(), "8:0:0 上课 /a.mp3");
    EXPECT_TRUE(f().btn5->isEnabled());
    f().btn5->click();
    EXPECT_EQ(stored().first(), "8:0:0 第一节 /a.mp3");
    EXPECT_FALSE(f().btn5->isEnabled());
    EXPECT_EQ(highlighted(), "第一节");
    EXPECT_EQ(log.of("row-save"), QStringList{dataFile("temp.dat") + " 08:00:00 第一节"});

    // Loaded, then the highlight moves elsewhere and the time changes: the loaded row moves,
    // the highlighted one is untouched.
    load(2);
    f().dbsmtbl1.setRecNo(3);
    f().se_h->setValue(11);
    dialogs.answers = {true};
    f().btn5->click();
    EXPECT_EQ(stored(),
              (QStringList{"8:0:0 第一节 /a.mp3", "10:0:0 课间 /c.mp3", "11:0:0 下课 /b.mp3"}));
    EXPECT_EQ(highlighted(), "下课");
}

TEST_F(ScheduleEditorTest, SaveToATakenTimeIsRefusedAndGoesBackToTheLoadedRow) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", "/a.mp3"), makeRow(9, 0, 0, "下课", "/b.mp3")});
    start();
    load(1);
    f().se_h->setValue(9);
    f().btn5->click();
    EXPECT_EQ(dialogs.notices, QStringList{"与表中所指项目的时间相同"});
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(highlighted(), "上课");
    EXPECT_TRUE(f().btn5->isEnabled());
    EXPECT_EQ(f().edtshijian->text(), "上课");  // the input stays
}

TEST_F(ScheduleEditorTest, SaveAfterTheLoadedRowWentAddsTheEvent) {
    for (const char* how : {"deleted", "cleared", "switched"}) {
        fill("temp.dat", {makeRow(8, 0, 0, "上课", "/a.mp3"), makeRow(9, 0, 0, "下课", "/b.mp3")});
        fill("xiaqing.dat", {makeRow(8, 0, 0, "夏", "/s.mp3")});
        dialogs = FakeDialogs();
        start();
        load(1);
        f().se_s->setValue(30);
        const QString mode = how;
        dialogs.answers = {true, true};
        if (mode == "deleted") {
            f().btn4->click();
        } else if (mode == "cleared") {
            f().btn8->click();
        } else {
            f().rg1->setItemIndex(1);  // summer: its row 1 has the loaded row's id
        }
        f().btn5->click();
        const QString table = mode == "switched" ? "xiaqing.dat" : "temp.dat";
        EXPECT_TRUE(stored(table).contains("8:0:30 上课 /a.mp3")) << how;
        EXPECT_EQ(mode == "switched", stored(table).contains("8:0:0 夏 /s.mp3")) << how;
        EXPECT_EQ(highlighted(), "上课") << how;
        form.reset();
    }
}

TEST_F(ScheduleEditorTest, DeleteAsksThenDeletesTheHighlightedRow) {
    start();
    dialogs.answers = {true};
    f().btn4->click();  // an empty table: asked, nothing happens
    EXPECT_EQ(dialogs.questions, QStringList{"确实要删除这个项目吗？"});
    form.reset();

    fill("temp.dat", {makeRow(8, 0, 0, "上课", "/a.mp3"), makeRow(9, 0, 0, "下课", "/b.mp3")});
    start();
    f().dbsmtbl1.setRecNo(2);
    dialogs.answers = {false, true};
    f().btn4->click();
    EXPECT_EQ(stored().size(), 2);
    f().btn4->click();
    EXPECT_EQ(stored(), QStringList{"8:0:0 上课 /a.mp3"});
    EXPECT_EQ(log.of("row-delete"), QStringList{dataFile("temp.dat") + " 09:00:00 下课"});
}

TEST_F(ScheduleEditorTest, ClearAllEmptiesOnlyTheWorkingTableAndKeepsACopy) {
    const std::vector<ScheduleRow> rows{makeRow(8, 0, 0, "上课", "/a.mp3")};
    for (const QString& name : schedule::kTableNames) {
        fill(name, rows);
    }
    writeConfig("[Set]\nRunMode=1\nWeather=0\n");
    start();
    dialogs.answers = {false, true};
    f().btn8->click();
    EXPECT_EQ(stored("xiaqing.dat").size(), 1);
    f().btn8->click();
    EXPECT_TRUE(stored("xiaqing.dat").isEmpty());
    for (const char* name : {"temp.dat", "xiayu.dat", "dongqing.dat", "dongyu.dat"}) {
        EXPECT_EQ(stored(name).size(), 1) << name;
    }
    EXPECT_TRUE(f().dbsmtbl1.isOpen());
    EXPECT_TRUE(f().dbsmdbgrd1->isColumnHidden(0));  // the list keeps its layout
    const QStringList copies = QDir(folder.file("Data/backup")).entryList(QDir::Files);
    ASSERT_EQ(copies.size(), 1);
    EXPECT_TRUE(copies.front().startsWith("xiaqing-20261207-")) << copies.front().toStdString();
    EXPECT_EQ(ScheduleDb(folder.file("Data/backup/" + copies.front())).rows().size(), 1u);
    EXPECT_EQ(log.of("table-clear").size(), 1);
}

TEST_F(ScheduleEditorTest, BackupsKeepTheNewestTwenty) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", "/a.mp3")});
    start();
    for (int i = 0; i < 23; ++i) {
        clock.set(clock.now().addSecs(60));
        dialogs.answers = {true};
        f().btn8->click();
    }
    const QStringList copies = QDir(folder.file("Data/backup")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(copies.size(), 20);
    EXPECT_TRUE(copies.back().contains(clock.now().toString("HHmmss")));
}

TEST_F(ScheduleEditorTest, SoundFieldTakesTheChosenFileOrTheRandomMarker) {
    start();
    EXPECT_TRUE(f().edtAudio_filename->isReadOnly());
    dialogs.files = {"/music/上课 铃.mp3"};
    f().btn1->click();
    EXPECT_EQ(f().edtAudio_filename->text(), "/music/上课 铃.mp3");
    EXPECT_TRUE(dialogs.questions.isEmpty());
    // A file in the program folder is stored relative to it, so the folder can be copied.
    dialogs.files = {folder.file("Music/下课.wav")};
    f().btn1->click();
    EXPECT_EQ(f().edtAudio_filename->text(), "Music/下课.wav");

    f().btn11->click();
    EXPECT_EQ(f().edtAudio_filename->text(), schedule::kRandomMusic);
    EXPECT_TRUE(f().Form3->isVisible());
    f().Form3->hide();
    // Cancel on the question: no dialog; OK then a cancelled dialog: the marker stays.
    dialogs.answers = {false, true};
    dialogs.files = {"", "/music/b.mp3"};
    f().btn1->click();
    EXPECT_EQ(dialogs.files.size(), 2);
    f().btn1->click();
    EXPECT_EQ(f().edtAudio_filename->text(), schedule::kRandomMusic);
    dialogs.answers = {true};
    f().btn1->click();
    EXPECT_EQ(f().edtAudio_filename->text(), "/music/b.mp3");
    EXPECT_EQ(dialogs.questions.size(), 3);
}

TEST_F(ScheduleEditorTest, ATypedTimeOutOfRangeIsClampedWhenTaken) {
    start();
    setGroup(0, 0, 0, "晚", "/x.mp3");
    auto* hourText = f().se_h->findChild<QLineEdit*>();
    hourText->selectAll();
    QTest::keyClicks(hourText, "30");
    EXPECT_EQ(hourText->text(), "30");  // typing is not refused
    f().btn2->click();
    EXPECT_EQ(stored(), QStringList{"23:0:0 晚 /x.mp3"});
}

TEST_F(ScheduleEditorTest, AChangeUnderneathIsReportedAndTheInputKept) {
    fill("temp.dat", {makeRow(8, 0, 0, "上课", "/a.mp3"), makeRow(9, 0, 0, "下课", "/b.mp3")});
    start();
    load(1);
    f().edtshijian->setText("新名字");
    // Another program replaces the table's rows (new ids) while the program runs.
    fill("temp.dat", {makeRow(8, 0, 0, "上课", "/a.mp3"), makeRow(10, 0, 0, "新", "/n.mp3")});
    f().dbsmtbl1.setRecNo(2);
    dialogs.answers = {true, true};
    f().btn4->click();  // the highlighted row is gone from the file
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.front().contains(dataFile("temp.dat")))
        << dialogs.errors.front().toStdString();
    EXPECT_EQ(f().dbsmtbl1.rowCount(), 2);
    EXPECT_EQ(f().dbsmtbl1.rows().back().event, "新");  // the list shows the file again
    EXPECT_EQ(f().edtshijian->text(), "新名字");
    EXPECT_TRUE(log.of("row-delete").isEmpty());
}

}  // namespace
