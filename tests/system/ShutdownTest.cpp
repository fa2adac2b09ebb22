#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include "EventWait.h"
#include "ScopedEnv.h"
#include "system/Power.h"

#include "EventWait.h"
#include "ScopedEnv.h"
#include "ringing/SchedulerFixture.h"
#include "system/Power.h"
#include "system/ShutdownWarning.h"
#include "system/TForm5.h"

namespace {

using ShutdownTest = SchedulerFixture;

TEST_F(ShutdownTest, ShutdownAtTheStoredSecondOnlyWithTheSwitchOn) {
    writeConfig("[Set]\nAutoClose=1\n[CloseTime]\nHour=17\nMinute=30\nSecond=0\n");
    clock.set(at(0, 17, 29, 50));
    TForm1& f = start();
    ASSERT_TRUE(f.chk5->isChecked());
    for (int s = 51; s <= 75; ++s) {
        clockTick(at(0, 17, 29, 0).addSecs(s));
    }
    EXPECT_EQ(power->requests, 1);
    EXPECT_EQ(power->parked, 1);  // the pointer went to the corner first
    EXPECT_EQ(log.of("shutdown-request").size(), 1);

    // A busy moment that skips the second still shuts down; a repeated second does not twice.
    clockTick(at(1, 17, 29, 58));
    clockTick(at(1, 17, 30, 2));
    clockTick(at(1, 17, 30, 0));
    EXPECT_EQ(power->requests, 2);

    f.chk5->setChecked(false);
    EXPECT_EQ(setting("AutoClose"), 0);
    clockTick(at(2, 17, 30, 0));
    EXPECT_EQ(power->requests, 2);
}

TEST_F(ShutdownTest, WithNoStoredTimeTheShutdownIsAtMidnight) {
    writeConfig("[Set]\nAutoClose=1\n");
    clock.set(at(0, 23, 59, 58));
    start();
    clockTick(at(0, 23, 59, 59));
    EXPECT_EQ(power->requests, 0);
    clockTick(at(1, 0, 0, 0));
    EXPECT_EQ(power->requests, 1);
}

TEST_F(ShutdownTest, ARefusedShutdownIsLoggedAsRefusedWithTheReason) {
    TForm1& f = start();
    power->refusal = "systemd-logind 不允许关机（CanPowerOff=challenge）";
    dialogs.answers = {true};
    f.N5Click();
    EXPECT_EQ(power->requests, 1);
    EXPECT_TRUE(log.of("shutdown-request").isEmpty());
    EXPECT_EQ(log.of("shutdown-refused"), QStringList{power->refusal});
}

// The last minute before the timed shutdown: the clock and ring timers ticked together, as the
// program runs them, with the countdown window never holding them up.
struct ShutdownCountdownTest : SchedulerFixture {
    void both(const QDateTime& when) {
        clockTick(when);
        tick(when);
    }
    ShutdownWarning& warning() { return *form->shutdownWarning; }
};

TEST_F(ShutdownCountdownTest, WarnsAMinuteAheadAndABellInThatMinuteRings) {
    writeConfig("[Set]\nAutoClose=1\n[CloseTime]\nHour=17\nMinute=30\nSecond=0\n");
    const QString bell = folder.file("Music/bell.wav");
    sound("Music/bell.wav");
    fill("temp.dat", {makeRow(17, 29, 30, "放学", bell)});
    TForm1& f = startRinging(at(0, 17, 28, 50));
    EXPECT_EQ(f.lbl10->text(), "Tollvane 校园音乐铃声\n定时关机 17:30");
    both(at(0, 17, 28, 59));
    EXPECT_FALSE(warning().isVisible());
    both(at(0, 17, 29, 0));
    ASSERT_TRUE(warning().isVisible());
    EXPECT_FALSE(warning().isModal());
    EXPECT_EQ(warning().lblCountdown->text(), "电脑将在 60 秒后关机");
    for (QDateTime t = at(0, 17, 29, 1); t < at(0, 17, 30, 0); t = t.addSecs(1)) {
        both(t);
    }
    EXPECT_EQ(warning().lblCountdown->text(), "电脑将在 1 秒后关机");
    EXPECT_EQ(rings().size(), 1);  // 17:29:30 rang during the countdown
    EXPECT_EQ(power->requests, 0);
    both(at(0, 17, 30, 0));  // nobody answered: off at the set time, once
    both(at(0, 17, 30, 1));
    EXPECT_EQ(power->requests, 1);
    EXPECT_FALSE(warning().isVisible());

    f.chk5->setChecked(false);
    EXPECT_EQ(f.lbl10->text(), "Tollvane 校园音乐铃声\n按时间表自动播放上下课音乐");
    both(at(1, 17, 29, 30));
    EXPECT_FALSE(warning().isVisible());
}

TEST_F(ShutdownCountdownTest, CancelledMeansNotTodayAndNowMeansNow) {
    writeConfig("[Set]\nAutoClose=1\n[CloseTime]\nHour=0\nMinute=0\nSecond=0\n");
    start();
    // Counting down across midnight to 00:00:00.
    both(at(0, 23, 59, 20));
    ASSERT_TRUE(warning().isVisible());
    EXPECT_EQ(warning().lblCountdown->text(), "电脑将在 40 秒后关机");
    warning().btnCancel->click();
    EXPECT_FALSE(warning().isVisible());
    EXPECT_EQ(log.of("shutdown-cancelled"), QStringList{"2026-12-08 00:00:00"});
    for (QDateTime t = at(0, 23, 59, 21); t <= at(1, 0, 0, 5); t = t.addSecs(1)) {
        both(t);
    }
    EXPECT_FALSE(warning().isVisible());
    EXPECT_EQ(power->requests, 0);

    // The next day as set; 立即关机 shuts down at once and not again at the set time.
    both(at(1, 23, 59, 50));
    ASSERT_TRUE(warning().isVisible());
    warning().btnNow->click();
    EXPECT_EQ(power->requests, 1);
    EXPECT_FALSE(warning().isVisible());
    both(at(2, 0, 0, 0));
    EXPECT_EQ(power->requests, 1);

    // Shown, it never holds up the program's exit (which closes every window).
    both(at(2, 23, 59, 30));
    ASSERT_TRUE(warning().isVisible());
    EXPECT_TRUE(warning().close());
}

TEST_F(ShutdownTest, ManualShutdownAsksFirst) {
    TForm1& f = start();
    dialogs.answers = {false, true};
    f.N5Click();
    EXPECT_EQ(power->requests, 0);
    f.N5Click();
    EXPECT_EQ(power->requests, 1);
    EXPECT_EQ(dialogs.questions.front(), "确定立即关闭计算机吗？");
}

TEST_F(ShutdownTest, ShutdownTimeWindowStoresClampedValues) {
    writeConfig("[CloseTime]\nHour=18\nMinute=30\nSecond=5\n");
    TForm1& f = start();
    TForm5& w = *f.Form5;
    EXPECT_EQ(w.windowTitle(), "关机时间设定");
    EXPECT_EQ(w.se1->value(), 18);
    EXPECT_EQ(w.se2->value(), 30);
    EXPECT_EQ(w.se3->value(), 5);
    auto* hourText = w.se1->findChild<QLineEdit*>();
    hourText->selectAll();
    hourText->insert("30");
    EXPECT_EQ(hourText->text(), "30");  // the key is not refused
    w.se2->setValue(0);
    w.btn1->click();
    IniFile ini(folder.file("config.ini"));
    EXPECT_EQ(ini.readInteger("CloseTime", "Hour", -1), 23);
    EXPECT_EQ(ini.readInteger("CloseTime", "Minute", -1), 0);
    w.se3->setValue(44);
    w.btn2->click();  // closes without saving
    EXPECT_EQ(ini.readInteger("CloseTime", "Second", -1), 5);
}

// The shutdown command is waited for on the event loop; what it came to is the log line.
TEST(SystemPowerTest, TheCommandIsWaitedForAndAFailureIsARefusal) {
    const struct {
        const char* command;
        const char* refusal;  // empty: accepted
    } cases[] = {
        {"true", ""},
        {"/bin/false", "TOLLVANE_SHUTDOWN_COMMAND 的退出状态为 1"},
        {"exit 7", "TOLLVANE_SHUTDOWN_COMMAND 的退出状态为 7"},
        {"kill -KILL $$", "TOLLVANE_SHUTDOWN_COMMAND 异常结束"},
        {"sleep 5", "TOLLVANE_SHUTDOWN_COMMAND 在 0.2 秒内没有结束"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        ScopedEnv command{"TOLLVANE_SHUTDOWN_COMMAND", QByteArray(c.command)};
        SystemPower power(200);
        std::optional<QString> said;
        int calls = 0;
        power.powerOff([&](const QString& refusal) {
            said = refusal;
            ++calls;
        });
        EXPECT_FALSE(said.has_value());  // not waited for by the caller
        ASSERT_TRUE(waitUntil([&] { return said.has_value(); }, 5000));
        EXPECT_EQ(*said, QString::fromUtf8(c.refusal));
        waitUntil([] { return false; }, 300);
        EXPECT_EQ(calls, 1);
    }
}

}  // namespace
