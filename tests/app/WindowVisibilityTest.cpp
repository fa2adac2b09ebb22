#include <QCheckBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QToolButton>

#include "app/HelpCommand.h"
#include "app/WindowVisibility.h"
#include "ringing/SchedulerFixture.h"

namespace {

// The main window's three states (shown, hidden in the tray, closed) through the real window
// with a fake tray, each transition as the user makes it.
struct WindowVisibilityTest : SchedulerFixture {
    TForm1& shown() {
        TForm1& f = start();
        f.showAtStart();
        return f;
    }
    static QString balloon() {
        return QString::fromUtf16(u"温馨提示：|\u3000\u3000Tollvane\r已经最小化为托盘图标。|5");
    }
    void settle() { QCoreApplication::processEvents(); }
};

TEST_F(WindowVisibilityTest, TheBalloonSaysWhereTheProgramWent) {
    TForm1& f = shown();
    f.btn9->click();  // 隐藏
    EXPECT_EQ(tray->balloons, QStringList{balloon()});
}

TEST_F(WindowVisibilityTest, CloseHideAndMinimiseHideIntoTheTrayAndTheBellsRingOn) {
    const QString bell = sound("Music/bell.wav");
    fill("temp.dat", {makeRow(8, 0, 0, "上课", bell)});
    TForm1& f = startRinging(at(0, 7, 59, 58));
    f.showAtStart();
    ASSERT_TRUE(f.isVisible());
    EXPECT_TRUE(tray->visible);

    EXPECT_FALSE(f.close());  // the title bar's close, or Alt+F4
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(tray->balloons, QStringList{balloon()});
    tick(at(0, 8, 0, 0));
    EXPECT_EQ(rings().size(), 1);  // hidden, it still rings

    f.cltrycn1DblClick();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.isMinimized());
    f.btn9->click();  // "隐藏"
    EXPECT_FALSE(f.isVisible());
    f.N1Click();  // "显示窗口"
    EXPECT_TRUE(f.isVisible());
    f.showMinimized();
    settle();
    EXPECT_FALSE(f.isVisible());
    f.cltrycn1DblClick();
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.isMinimized());
    EXPECT_EQ(tray->balloons.size(), 3);  // one for each way into the tray
    EXPECT_TRUE(f.dbsmtbl1.isOpen());
    EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(WindowVisibilityTest, CloseButtonAndExitEndTheProgramAtOnce) {
    for (const bool fromTray : {false, true}) {
        TForm1& f = shown();
        if (fromTray) {
            f.btn9Click();
            emit tray->exitChosen();  // "退出程序" while the window is in the tray
        } else {
            f.btn7->click();  // "关闭"
        }
        EXPECT_TRUE(f.exitRequested);
        EXPECT_FALSE(f.isVisible());
        EXPECT_FALSE(f.dbsmtbl1.isOpen()) << fromTray;
        EXPECT_FALSE(tray->visible) << fromTray;
        EXPECT_TRUE(dialogs.questions.isEmpty());
    }
}

TEST_F(WindowVisibilityTest, TheSessionsEndIsAgreedToWithoutAQuestion) {
    TForm1& f = shown();
    f.EndSessionQuery();
    EXPECT_TRUE(f.exitRequested);
    EXPECT_TRUE(f.isVisible());  // nothing else happens until the session closes the window
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(log.of("session-end").size(), 1);
}

TEST_F(WindowVisibilityTest, StartHiddenShowsOnlyTheTrayIcon) {
    writeConfig("[Set]\nMiniRun=1\n");
    TForm1& f = shown();
    EXPECT_TRUE(f.chk4->isChecked());
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(tray->visible);
    EXPECT_TRUE(tray->balloons.isEmpty());  // never shown, so never hidden
    f.chk4->setChecked(false);
    EXPECT_EQ(setting("MiniRun"), 0);
    f.chk4->setChecked(true);
    EXPECT_EQ(setting("MiniRun"), 1);
}

TEST_F(WindowVisibilityTest, WithoutATrayTheWindowMinimisesAndATrayThatComesLaterIsUsed) {
    trayAvailable = false;
    TForm1& f = shown();
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isMinimized());
    f.btn9Click();
    EXPECT_TRUE(f.isMinimized());
    EXPECT_TRUE(tray->balloons.isEmpty());
    settle();  // the minimise does not hide it either

    f.cltrycn1DblClick();  // from the task bar, as it were
    tray->setAvailable(true);
    EXPECT_FALSE(f.close());
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(tray->balloons.size(), 1);

    // The tray goes away with the window in it: the window comes back, minimised.
    tray->setAvailable(false);
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.isMinimized());
}

TEST_F(WindowVisibilityTest, StartHiddenWithoutATrayStartsMinimised) {
    trayAvailable = false;
    writeConfig("[Set]\nMiniRun=1\n");
    TForm1& f = shown();
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.isMinimized());
}

TEST_F(WindowVisibilityTest, HelpOpensTheShippedPageOrABroughtChmAndLogsAFailure) {
    TForm1& f = start();
    f.btn13->click();
    EXPECT_EQ(opener->opened, QStringList{folder.file("help/index.html")});
    sound("Chimora.chm");
    opener->works = false;
    f.btn13->click();
    EXPECT_EQ(opener->opened.last(), folder.file("Chimora.chm"));
    EXPECT_EQ(log.of("help-failed"), QStringList{folder.file("Chimora.chm")});
    // Said on screen too, with the file to open by hand.
    EXPECT_EQ(dialogs.notices,
              QStringList{HelpCommand::failedText().arg(folder.file("Chimora.chm"))});
}

}  // namespace
