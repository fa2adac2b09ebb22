#include "app/TForm1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "app/FileOpener.h"
#include "app/HelpCommand.h"
#include "app/RadioGroup.h"
#include "app/StartupRestore.h"
#include "app/TrayIcon.h"
#include "app/WindowVisibility.h"
#include "calendarui/CalendarWindow.h"
#include "core/Clock.h"
#include "core/EventLog.h"
#include "core/SecondTimer.h"
#include "core/SettingsKeys.h"
#include "media/TMediaPlayer.h"
#include "randommusic/RandomPlaylist.h"
#include "randommusic/TForm3.h"
#include "recorder/RecorderControl.h"
#include "recorder/TForm4.h"
#include "ringing/AutoPlaySwitch.h"
#include "ringing/CalendarDay.h"
#include "ringing/ClockTick.h"
#include "ringing/NextEventHint.h"
#include "ringing/OutputNotice.h"
#include "ringing/PlaybackControl.h"
#include "ringing/RingScheduler.h"
#include "schedule/RunModeSelection.h"
#include "scheduleui/ScheduleEditor.h"
#include "scheduleui/ScheduleGrid.h"
#include "system/MasterVolume.h"
#include "system/Power.h"
#include "system/ShutdownControl.h"
#include "system/StartWithSession.h"
#include "system/TForm5.h"
#include "system/VolumeControl.h"
#include "system/XdgAutostart.h"
#include "widgets/TRealTrackbar.h"

TForm1::TForm1(Services services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)),
      settings_(programFile(QStringLiteral("config.ini"))),
      guard_(services_.dialogs, services_.log),
      calendarBook_(programFile(QStringLiteral("Data/calendar.dat"))) {
    setWindowTitle(QStringLiteral("Tollvane V1.3.3"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(599, 431);
    buildControls();

    // A calendar that cannot be read is said, and the days ring by weekday meanwhile.
    guard_.run([this] { calendarBook_.load(); });
    hint_ =
        std::make_unique<NextEventHint>(dbsmtbl1, services_.clock, calendarBook_.calendar(), *lbl9);
    runMode_ = std::make_unique<RunModeSelection>(dbsmtbl1, settings_, services_.log, [this] {
        dbsmdbgrd1->applyLayout();
        hint_->ShowHintByClock();
        if (playback_) {
            playback_->DropPrepared();  // made ready from the table that was left
        }
    });
    mp1 = new TMediaPlayer(std::move(services_.playerBackend), this);
    power_ = std::move(services_.power);
    tray_ = std::move(services_.tray);
    opener_ = std::move(services_.opener);
    visibility_ = std::make_unique<WindowVisibility>(*this, *tray_, exitRequested, services_.log);
    help_ = std::make_unique<HelpCommand>(*opener_, services_.log, services_.programFolder);
    autostart_ = std::move(services_.autostart);
    mixer_ = std::move(services_.mixer);
    volume_ = std::make_unique<VolumeControl>(*mixer_, *rltrckbr1, *chk3, services_.log);
    startWithSession_ = std::make_unique<StartWithSession>(
        *autostart_, settings_, services_.dialogs, services_.log,
        programFile(QStringLiteral("tollvane")), programFile(QStringLiteral("tollvane.svg")));
    setWindowIcon(QIcon(QStringLiteral(":/tollvane.svg")));
    shutdown_ = std::make_unique<ShutdownControl>(*power_, settings_, services_.dialogs,
                                                  services_.log, *chk5);
    tmr1 = new SecondTimer(services_.clock, this);
    tmr2 = new SecondTimer(services_.clock, this);
    connectHandlers();
}

void TForm1::CreateWindows() {
    music_ = std::make_unique<RandomPlaylist>(programFile(QStringLiteral("随机音乐")), settings_);
    Form3 = std::make_unique<TForm3>(*music_, settings_, services_.dialogs, guard_, this);
    playback_ = std::make_unique<PlaybackControl>(*mp1, dbsmtbl1, *music_, *lbl2, *lbl3, *lbl9,
                                                  services_.log, services_.programFolder);
    scheduler_ = std::make_unique<RingScheduler>(dbsmtbl1, *mp1, *playback_, *hint_, *lbl3,
                                                 services_.log, services_.clock,
                                                 calendarBook_.calendar(), EventNear, countdown);
    AutoPlaySwitch::Controls locked;
    locked.locked = {rg1,  rg2,  se_h, se_m, se_s,  edtshijian, edtAudio_filename,
                     btn1, btn2, btn4, btn8, btn11, dbsmdbgrd1, btn12};
    for (QCheckBox* day : chkweek) {
        locked.locked << day;
        locked.weekdays << day;
    }
    locked.event = edtshijian;
    locked.sound = edtAudio_filename;
    locked.save = btn5;
    autoPlay_ = std::make_unique<AutoPlaySwitch>(locked, *tmr1, *scheduler_, *hint_, settings_);
    editor_ = std::make_unique<ScheduleEditor>(
        ScheduleEditor::Controls{
            *se_h,
            *se_m,
            *se_s,
            {chkweek[0], chkweek[1], chkweek[2], chkweek[3], chkweek[4], chkweek[5], chkweek[6]},
            *edtshijian,
            *edtAudio_filename,
            *btn5,
            *dbsmdbgrd1},
        dbsmtbl1, services_.dialogs, services_.log, services_.clock, editRecNo, [this] {
            Form3->setWindowModality(Qt::ApplicationModal);
            Form3->show();
        });
    Form4 = std::make_unique<TForm4>(this);
    Form4->setWindowModality(Qt::ApplicationModal);
    recorder_ = std::make_unique<RecorderControl>(*Form4, *mp1, services_.dialogs, services_.log,
                                                  guard_, services_.programFolder);
    Form5 = std::make_unique<TForm5>(settings_, guard_, this);
    Form5->setWindowModality(Qt::ApplicationModal);
    clockTick_ = std::make_unique<ClockTick>(
        ClockTick::Labels{*lbl1, *lbl12, *lbl2, *lbl3, *lbl9}, *chk1, *mp1, *scheduler_, settings_,
        services_.log, services_.clock, calendarBook_.calendar(),
        programFile(QStringLiteral("sys.mp3")), countdown, EventNear,
        ClockTick::Actions{[this](const QDateTime& second) { shutdown_->timedCheck(second); },
                           [this] { rg1Click(); }, [this] { chk1Click(); },
                           [this] { return shutdown_->scheduledTime(); },
                           [this](const QDate& date) {
                               calendarDay_->begin(date);
                               showCalendarDay();
                           }});
    calendarDay_ = std::make_unique<CalendarDay>(calendarBook_.calendar(), settings_, services_.log,
                                                 [this](int runMode) {
                                                     // As if the user had picked it.
                                                     rg1->setItemIndex(runMode);
                                                     rg1Click();
                                                 });
    calendarWindow = std::make_unique<CalendarWindow>(calendarBook_, services_.dialogs,
                                                      services_.log, guard_, this);
    calendarWindow->setWindowModality(Qt::ApplicationModal);
    calendarWindow->changed = [this] { showCalendarDay(); };
    scheduler_->nearFound = [this] { clockTick_->ShowPreRingCountdown(); };
    outputNotice_ = std::make_unique<OutputNotice>(services_.dialogs, services_.log, *lbl9);
}

TForm1::~TForm1() {
    // The list reads the table until it goes, so it goes first: children would otherwise be
    // destroyed by the base class, after the table they show.
    delete dbsmdbgrd1;
    dbsmdbgrd1 = nullptr;
    removeClockFont();
}

void TForm1::removeClockFont() {
    if (fontId_ >= 0) {
        QFontDatabase::removeApplicationFont(fontId_);
        fontId_ = -1;
    }
}

QString TForm1::programFile(const QString& name) const {
    return QDir(services_.programFolder).filePath(name);
}

void TForm1::connectHandlers() {
    connect(rg1, &RadioGroup::clicked, this, [this] { guard_.run([this] { rg1Click(); }); });
    connect(rg2, &RadioGroup::clicked, this, [this] { guard_.run([this] { rg2Click(); }); });
    connect(tmr1, &SecondTimer::timeout, this, [this] { guard_.run([this] { tmr1Timer(); }); });
    connect(tmr2, &SecondTimer::timeout, this, [this] { guard_.run([this] { tmr2Timer(); }); });
    connect(chk1, &QCheckBox::toggled, this, [this] { guard_.run([this] { chk1Click(); }); });
    connect(chk5, &QCheckBox::toggled, this, [this] { guard_.run([this] { chk5Click(); }); });
    connect(btn14, &QPushButton::clicked, this, [this] { guard_.run([this] { btn14Click(); }); });
    connect(btnCalendar, &QToolButton::clicked, this,
            [this] { guard_.run([this] { btnCalendarClick(); }); });
    connect(btn3, &QToolButton::clicked, this, [this] { guard_.run([this] { btn3Click(); }); });
    connect(btn6, &QToolButton::clicked, this, [this] { guard_.run([this] { btn6Click(); }); });
    connect(mp1, &TMediaPlayer::OnNotify, this, [this] { guard_.run([this] { mp1Notify(); }); });
    connect(mp1, &TMediaPlayer::PlaybackFailed, this,
            [this](const QString& file, const QString& reason) {
                guard_.run([&] { playback_->PlaybackFailed(file, reason); });
            });
    connect(mp1, &TMediaPlayer::OutputChanged, this, [this](bool available) {
        guard_.run([&] { outputNotice_->outputChanged(available); });
    });
    connect(btn7, &QPushButton::clicked, this, [this] { guard_.run([this] { btn7Click(); }); });
    connect(btn9, &QPushButton::clicked, this, [this] { guard_.run([this] { btn9Click(); }); });
    connect(btn13, &QToolButton::clicked, this, [this] { guard_.run([this] { btn13Click(); }); });
    connect(chk4, &QCheckBox::toggled, this, [this] { guard_.run([this] { chk4Click(); }); });
    connect(chk2, &QCheckBox::toggled, this, [this] { guard_.run([this] { chk2Click(); }); });
    connect(dbsmdbgrd1, &ScheduleGrid::rowDoubleClicked, this,
            [this] { guard_.run([this] { dbsmdbgrd1DblClick(); }); });
    connect(btn2, &QPushButton::clicked, this, [this] { guard_.run([this] { btn2Click(); }); });
    connect(btn5, &QPushButton::clicked, this, [this] { guard_.run([this] { btn5Click(); }); });
    connect(btn4, &QPushButton::clicked, this, [this] { guard_.run([this] { btn4Click(); }); });
    connect(btn8, &QPushButton::clicked, this, [this] { guard_.run([this] { btn8Click(); }); });
    connect(btn1, &QToolButton::clicked, this, [this] { guard_.run([this] { btn1Click(); }); });
    connect(btn11, &QToolButton::clicked, this, [this] { guard_.run([this] { btn11Click(); }); });
    connect(btn12, &QPushButton::clicked, this, [this] { guard_.run([this] { btn12Click(); }); });
    connect(rltrckbr1, &TRealTrackbar::changed, this,
            [this] { guard_.run([this] { rltrckbr1Change(); }); });
    connect(chk3, &QCheckBox::toggled, this, [this] { guard_.run([this] { chk3Click(); }); });
    connect(tray_.get(), &TrayIcon::showWindowChosen, this,
            [this] { guard_.run([this] { N1Click(); }); });
    connect(tray_.get(), &TrayIcon::exitChosen, this,
            [this] { guard_.run([this] { N2Click(); }); });
    connect(tray_.get(), &TrayIcon::shutdownChosen, this,
            [this] { guard_.run([this] { N5Click(); }); });
    connect(tray_.get(), &TrayIcon::doubleClicked, this,
            [this] { guard_.run([this] { cltrycn1DblClick(); }); });
    connect(tray_.get(), &TrayIcon::availabilityChanged, this, [this](bool available) {
        guard_.run([this, available] { visibility_->trayAvailabilityChanged(available); });
    });
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this] { guard_.run([this] { EndSessionQuery(); }); });
}

void TForm1::addClockFont() {
    fontId_ = QFontDatabase::addApplicationFont(programFile(QStringLiteral("digital.ttf")));
    QString family = QStringLiteral("digital");
    if (fontId_ >= 0 && !QFontDatabase::applicationFontFamilies(fontId_).isEmpty()) {
        family = QFontDatabase::applicationFontFamilies(fontId_).front();
    }
    QFont font(family);
    font.setPixelSize(45);
    lbl1->setFont(font);
    lbl11->setFont(font);
}

void TForm1::FormCreate() {
    StartupRestore(*this).run();
    startWithSession_->writeMenuEntry(programFile(QStringLiteral("Tollvane.desktop")));
    tmr2->setEnabled(true);
}

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
    CalendarDay::show(*lbl12, calendarBook_.calendar(), today);
    // Without a calendar the hint is left as it always was; with one it never names a bell
    // that will not ring today. A countdown in progress keeps the line.
    if (!calendarBook_.calendar().empty() && !EventNear && dbsmtbl1.isOpen()) {
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
}

void TForm1::showAtStart() {
    visibility_->start(startMinimised);
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
