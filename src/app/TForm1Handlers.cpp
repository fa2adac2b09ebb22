// The main window's handlers: each hands its event to the class that deals with it.
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLabel>
#include <QTimer>
#include <optional>

#include "app/HelpCommand.h"
#include "app/RadioGroup.h"
#include "app/TForm1.h"
#include "app/TrayIcon.h"
#include "app/WindowVisibility.h"
#include "calendarui/CalendarWindow.h"
#include "core/Clock.h"
#include "core/EventLog.h"
#include "core/SettingsKeys.h"
#include "randommusic/TForm3.h"
#include "recorder/TForm4.h"
#include "ringing/AutoPlaySwitch.h"
#include "ringing/CalendarDay.h"
#include "ringing/ClockTick.h"
#include "ringing/ClockTrust.h"
#include "ringing/NextEventHint.h"
#include "ringing/PlaybackControl.h"
#include "ringing/RingScheduler.h"
#include "schedule/RunModeSelection.h"
#include "scheduleui/ScheduleEditor.h"
#include "sync/BundleFollower.h"
#include "system/ShutdownControl.h"
#include "system/StartWithSession.h"
#include "system/TForm5.h"
#include "system/VolumeControl.h"

void TForm1::rg1Click() {
    runMode_->rg1Click(rg1->itemIndex(), rg2->itemIndex());
}

void TForm1::rg2Click() {
    runMode_->rg2Click(rg1->itemIndex(), rg2->itemIndex());
}

void TForm1::tmr1Timer() {
    scheduler_->tmr1Timer();
}

void TForm1::chk1Click() {
    autoPlay_->chk1Click(chk1->isChecked());
}

void TForm1::chk5Click() {
    shutdown_->chk5Click();
    showShutdownTime();
}

void TForm1::shutdownCancelClick() {
    shutdown_->cancelComing();
}

void TForm1::shutdownNowClick() {
    shutdown_->shutDownNow();
}

void TForm1::showShutdownTime() {
    // The credit line's second line names the daily shutdown while it is set.
    const std::optional<QTime> at = shutdown_->scheduledTime();
    const QString second =
        at ? QStringLiteral("定时关机 %1")
                 .arg(at->toString(at->second() == 0 ? QStringLiteral("HH:mm")
                                                     : QStringLiteral("HH:mm:ss")))
           : QStringLiteral("按时间表自动播放上下课音乐");
    lbl10->setText(QStringLiteral("Tollvane 校园音乐铃声\n") + second);
}

void TForm1::N5Click() {
    shutdown_->N5Click();
}

void TForm1::btn14Click() {
    Form5->show();
}

void TForm1::btnCalendarClick() {
    calendarWindow->from->setDate(services_.clock.now().date());  // a new entry starts today
    calendarWindow->refresh();
    calendarWindow->show();
}

void TForm1::showCalendarDay() {
    const QDate today = services_.clock.now().date();
    CalendarDay::show(bell_, calendarBook_.calendar(), today);
    // Without a calendar the hint is left as it always was; with one it never names a bell
    // that will not ring today. A countdown in progress keeps the line.
    if (!calendarBook_.calendar().empty() && !bell_.EventNear() && dbsmtbl1.isOpen()) {
        hint_->ShowHintByClock();
    }
}

void TForm1::btn3Click() {
    playback_->btn3Click();
}

void TForm1::btn6Click() {
    playback_->btn6Click();
}

void TForm1::mp1Notify() {
    playback_->mp1Notify();
}

void TForm1::tmr2Timer() {
    clockTick_->tmr2Timer();
    if (follower_) {
        follower_->tick();
    }
    if (clockTrust_) {
        clockTrust_->check(services_.clock.now());
    }
    if (resumed_) {
        resumed_ = false;  // the first tick after a restart: the program is back
        services_.log.write(QStringLiteral("resume"),
                            bell_.ringing() ? QStringLiteral("ringing") : QStringLiteral("idle"));
    }
}

void TForm1::showAtStart() {
    visibility_->start(startMinimised_);
}

void TForm1::resume(const ResumeState& state, const QDateTime& crashedAt) {
    bell_.endStartup();
    if (state.ringing) {
        chk1->setChecked(true);
        scheduler_->resumeFrom(crashedAt);
    }
    startMinimised_ = state.hidden;
    resumed_ = true;
}

void TForm1::saveResumeState() {
    if (!services_.resumeFile.isEmpty()) {
        ResumeState{bell_.ringing(), isHidden() || isMinimized()}.save(services_.resumeFile);
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    saveResumeState();
}

void TForm1::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    saveResumeState();
}

void TForm1::closeEvent(QCloseEvent* event) {
    bool allowed = false;
    guard_.run([this, &allowed] { allowed = visibility_->FormCloseQuery(); });
    if (!allowed) {
        event->ignore();
        return;
    }
    // The program ends: the table is closed and the clock font released before the loop ends.
    dbsmtbl1.close();
    removeClockFont();
    tray_->setVisible(false);
    event->accept();
    QCoreApplication::quit();
}

void TForm1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        saveResumeState();
    }
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        // Hidden once the minimise has finished, not inside the state change.
        QTimer::singleShot(0, this, [this] { guard_.run([this] { visibility_->minimised(); }); });
    }
}

void TForm1::btn7Click() {
    exitRequested = true;
    close();
}

void TForm1::N2Click() {
    btn7Click();
}

void TForm1::btn9Click() {
    visibility_->HideToTray();
}

void TForm1::N1Click() {
    visibility_->ShowMainWindow();
}

void TForm1::cltrycn1DblClick() {
    visibility_->ShowMainWindow();
}

void TForm1::EndSessionQuery() {
    visibility_->EndSessionQuery();
}

void TForm1::btn13Click() {
    help_->btn13Click();
}

void TForm1::chk4Click() {
    settings_.writeInteger(settings::kSet, settings::kMiniRun, chk4->isChecked() ? 1 : 0);
}

void TForm1::chk2Click() {
    startWithSession_->chk2Click(chk2->isChecked());
}

void TForm1::dbsmdbgrd1DblClick() {
    editor_->dbsmdbgrd1DblClick();
}

void TForm1::btn2Click() {
    editor_->btn2Click();
}

void TForm1::btn5Click() {
    editor_->btn5Click();
}

void TForm1::btn4Click() {
    editor_->btn4Click();
}

void TForm1::btn8Click() {
    editor_->btn8Click();
}

void TForm1::btn1Click() {
    editor_->btn1Click();
}

void TForm1::btn11Click() {
    editor_->btn11Click();
}

void TForm1::btn12Click() {
    playback_->StopPlayback();
    Form4->show();
}

void TForm1::rltrckbr1Change() {
    volume_->rltrckbr1Change();
}

void TForm1::chk3Click() {
    volume_->chk3Click();
}
