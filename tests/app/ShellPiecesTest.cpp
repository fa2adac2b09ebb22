// The program entry's pieces: the single-instance guard, the error guard and its boxes, and the
// radio groups whose changes run their handlers.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTranslator>
#include <csignal>

#include "EventWait.h"
#include "TempDir.h"
#include "app/QtDialogs.h"
#include "app/QtTranslations.h"
#include "app/RadioGroup.h"
#include "app/SignalExit.h"
#include "app/SingleInstance.h"
#include "core/AppError.h"
#include "core/HandlerGuard.h"
#include "fakes/FakeClock.h"
#include "fakes/LogRecorder.h"

namespace {

TEST(SingleInstanceTest, SecondCopyIsRefusedUntilTheFirstEnds) {
    TempDir dir;
    {
        SingleInstance first(dir.path());
        EXPECT_FALSE(first.anotherIsRunning());
        SingleInstance second(dir.path());
        EXPECT_TRUE(second.anotherIsRunning());
    }
    SingleInstance third(dir.path());
    EXPECT_FALSE(third.anotherIsRunning());
}

TEST(SingleInstanceTest, ACrashedCopyDoesNotBlockTheNextStart) {
    TempDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        SingleInstance held(dir.path());
        ::raise(SIGKILL);  // dies holding the lock, as a crash would
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(QFile::exists(dir.file("Tollvane.lock")));
    SingleInstance next(dir.path());
    EXPECT_FALSE(next.anotherIsRunning());
}

TEST(SingleInstanceTest, ASecondStartAsksTheRunningCopyToShowItself) {
    TempDir dir;
    SignalExit caught;
    int shown = 0;
    QObject::connect(&caught, &SignalExit::showRequested, [&] { ++shown; });
    SingleInstance running(dir.path());
    EXPECT_EQ(dir.read("Tollvane.lock").trimmed(), QByteArray::number(::getpid()));
    SingleInstance second(dir.path());
    ASSERT_TRUE(second.anotherIsRunning());
    EXPECT_TRUE(second.askToShow());
    ASSERT_TRUE(waitUntil([&] { return shown == 1; }, 2000));
    EXPECT_FALSE(SignalExit::caught());  // a request to show, never to end
    EXPECT_FALSE(running.askToShow());   // nobody else to ask
}

TEST(HandlerGuardTest, FullStopRule) {
    EXPECT_EQ(HandlerGuard::reportText("Unable to write to /x/config.ini"),
              "Unable to write to /x/config.ini.");
    EXPECT_EQ(HandlerGuard::reportText("文件不存在！"), "文件不存在！.");
    EXPECT_EQ(HandlerGuard::reportText("done."), "done.");
    EXPECT_EQ(HandlerGuard::reportText("(1)"), "(1)");  // ')' is below '.'
    EXPECT_EQ(HandlerGuard::reportText(""), "");
}

TEST(HandlerGuardTest, ErrorBoxesDoNotBlockAndDoNotPileUp) {
    FakeClock clock;
    LogRecorder log(clock);
    QtDialogs dialogs;
    HandlerGuard guard(dialogs, log.log);
    int ran = 0;
    for (int i = 0; i < 5; ++i) {
        // Returns at once: a modal box here would hold up every later tick.
        EXPECT_FALSE(guard.run([&] {
            ++ran;
            throw AppError("时间表文件不存在：/x/temp.dat");
        }));
    }
    EXPECT_EQ(ran, 5);
    EXPECT_EQ(dialogs.openBoxes(), 1);
    guard.run([] { throw std::runtime_error("other"); });
    EXPECT_EQ(dialogs.openBoxes(), 2);
    EXPECT_EQ(log.of("error").size(), 6);
    EXPECT_EQ(log.of("error").front(), "时间表文件不存在：/x/temp.dat.");

    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    EXPECT_EQ(box, nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* b = qobject_cast<QMessageBox*>(w)) {
            EXPECT_EQ(b->icon(), QMessageBox::Critical);
            b->close();
        }
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialogs.openBoxes(), 0);
}

TEST(QtTranslationsTest, StandardButtonsAndTheFileDialogReadChinese) {
    QTranslator translator;
    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance(), translator))
        << "qtbase_zh_CN.qm missing: install qt6-translations-l10n";
    QMessageBox box(QMessageBox::Question, "温馨提醒", "确定立即关闭计算机吗？",
                    QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "取消");
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    EXPECT_EQ(dialog.labelText(QFileDialog::LookIn), "查找范围：");
    EXPECT_EQ(dialog.labelText(QFileDialog::Accept), "打开(&O)");
    QCoreApplication::removeTranslator(&translator);
}

QMessageBox* openBox(const QString& text) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (box != nullptr && box->isVisible() && box->text() == text) {
            return box;
        }
    }
    return nullptr;
}

TEST(QtDialogsTest, ABoxBelongsToTheShownWindowAndStaysOnTopOnlyWhileTheMainWindowIsHidden) {
    QtDialogs dialogs;
    QWidget main;
    dialogs.setOwner(&main);
    dialogs.notice("在托盘里");
    QMessageBox* box = openBox("在托盘里");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), nullptr);
    EXPECT_TRUE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Ok));
    QTest::keyClick(box, Qt::Key_Escape);  // Esc closes it
    EXPECT_EQ(openBox("在托盘里"), nullptr);

    main.show();
    dialogs.message("窗口在");
    box = openBox("窗口在");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->window()->parentWidget(), &main);
    EXPECT_FALSE(box->windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::keyClick(box, Qt::Key_Return);  // so does Enter
    EXPECT_EQ(openBox("窗口在"), nullptr);

    QDialog recorder(&main);  // a modal window of the program raises the next one
    recorder.setWindowModality(Qt::ApplicationModal);
    recorder.show();
    dialogs.box(" 错误 ", "录音出错", Dialogs::Icon::Error);
    box = openBox("录音出错");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->parentWidget(), &recorder);
    box->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(RadioGroupTest, ChangesEmitOnceAndIndexesClamp) {
    RadioGroup group("运行模式", {"临时", "夏季", "冬季"});
    int clicks = 0;
    QObject::connect(&group, &RadioGroup::clicked, [&] { ++clicks; });
    group.setItemIndex(1);
    group.setItemIndex(1);
    EXPECT_EQ(clicks, 1);
    group.setItemIndex(7);
    EXPECT_EQ(group.itemIndex(), 2);
    group.setItemIndex(-4);
    EXPECT_EQ(group.itemIndex(), -1);
    EXPECT_EQ(clicks, 3);
}

}  // namespace
