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
#include "app/TrayIcon.h"
#include "app/WindowVisibility.h"
#include "calendarui/CalendarWindow.h"
#include "core/Clock.h"
#include "core/ClockSync.h"
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
#include "ringing/ClockTrust.h"
#include "ringing/NextEventHint.h"
#include "ringing/OutputNotice.h"
#include "ringing/PlaybackControl.h"
#include "ringing/RingScheduler.h"
#include "schedule/RunModeSelection.h"
#include "scheduleui/ScheduleEditor.h"
#include "scheduleui/ScheduleGrid.h"
#include "sync/BundleFollower.h"
#include "system/MasterVolume.h"
#include "system/Power.h"
#include "system/ShutdownControl.h"
#include "system/ShutdownWarning.h"
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
    setWindowIcon(QIcon(QStringLiteral(":/tollvane.svg")));
    buildControls();
    // A calendar that cannot be read is said, and the days ring by weekday meanwhile.
    guard_.run([this] { calendarBook_.load(); });
    createParts();
    showBellState();
    connectHandlers();
}

void TForm1::createParts() {
    const Clock& clock = services_.clock;
    Dialogs& dialogs = services_.dialogs;
    EventLog& log = services_.log;
    const SchoolCalendar& calendar = calendarBook_.calendar();
    mp1 = new TMediaPlayer(std::move(services_.playerBackend), this);
    tmr1 = new SecondTimer(clock, this);
    tmr2 = new SecondTimer(clock, this);
    power_ = std::move(services_.power);
    tray_ = std::move(services_.tray);
    opener_ = std::move(services_.opener);
    autostart_ = std::move(services_.autostart);
    mixer_ = std::move(services_.mixer);
    clockSync_ = std::move(services_.clockSync);
    if (clockSync_) {
        clockTrust_ = std::make_unique<ClockTrust>(*clockSync_, log, bell_);
    }

    hint_ = std::make_unique<NextEventHint>(dbsmtbl1, clock, calendar, bell_);
    music_ = std::make_unique<RandomPlaylist>(programFile(QStringLiteral("随机音乐")), settings_);
    playback_ = std::make_unique<PlaybackControl>(*mp1, dbsmtbl1, *music_, bell_, log,
                                                  services_.programFolder);
    scheduler_ = std::make_unique<RingScheduler>(dbsmtbl1, *mp1, *playback_, *hint_, bell_, log,
                                                 clock, calendar);
    autoPlay_ = std::make_unique<AutoPlaySwitch>(bell_, *tmr1, *scheduler_, *hint_, settings_);
    runMode_ = std::make_unique<RunModeSelection>(dbsmtbl1, settings_, log, [this] {
        dbsmdbgrd1->applyLayout();
        hint_->ShowHintByClock();
        playback_->DropPrepared();  // made ready from the table that was left
    });
    outputNotice_ = std::make_unique<OutputNotice>(dialogs, log, bell_);
    shutdown_ = std::make_unique<ShutdownControl>(*power_, settings_, dialogs, log, *chk5);
    shutdownWarning = std::make_unique<ShutdownWarning>(this);
    shutdown_->warn = [this](int left) { shutdownWarning->showCountdown(left); };
    shutdown_->endWarning = [this] { shutdownWarning->hide(); };
    calendarDay_ = std::make_unique<CalendarDay>(calendar, settings_, log, [this](int runMode) {
        rg1->setItemIndex(runMode);  // as if the user had picked it
        rg1Click();
    });
    clockTick_ = std::make_unique<ClockTick>(
        bell_, *mp1, settings_, log, clock, calendar, programFile(QStringLiteral("sys.mp3")),
        ClockTick::Actions{[this](const QDateTime& second) { shutdown_->timedCheck(second); },
                           [this] {
                               rg1Click();
                               if (follower_) {
                                   follower_->syncNow();
                               }
                           },
                           [this] {
                               chk1->setChecked(true);
                               chk1Click();
                           },
                           [this] { return shutdown_->scheduledTime(); },
                           [this](const QDate& date) {
                               calendarDay_->begin(date);
                               showCalendarDay();
                           }});

    Form3 = std::make_unique<TForm3>(*music_, settings_, dialogs, guard_, this);
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
        dbsmtbl1, dialogs, log, clock, editRecNo, services_.programFolder, [this] {
            Form3->setWindowModality(Qt::ApplicationModal);
            Form3->show();
        });
    Form4 = std::make_unique<TForm4>(this);
    Form4->setWindowModality(Qt::ApplicationModal);
    recorder_ = std::make_unique<RecorderControl>(*Form4, *mp1, dialogs, log, guard_,
                                                  services_.programFolder);
    Form5 = std::make_unique<TForm5>(settings_, guard_, this);
    Form5->setWindowModality(Qt::ApplicationModal);
    calendarWindow = std::make_unique<CalendarWindow>(calendarBook_, dialogs, log, guard_, this);
    calendarWindow->setWindowModality(Qt::ApplicationModal);
    calendarWindow->changed = [this] { showCalendarDay(); };

    visibility_ = std::make_unique<WindowVisibility>(*this, *tray_, exitRequested, log);
    help_ = std::make_unique<HelpCommand>(*opener_, dialogs, log, services_.programFolder);
    background_ = std::move(services_.background);
    volume_ = std::make_unique<VolumeControl>(*mixer_, *rltrckbr1, *chk3, log);
    startWithSession_ = std::make_unique<StartWithSession>(
        *autostart_, settings_, dialogs, log, services_.executable,
        programFile(QStringLiteral("tollvane.svg")));
}

void TForm1::showBellState() {
    connect(&bell_, &BellState::modeChanged, lbl3, &QLabel::setText);
    connect(&bell_, &BellState::statusChanged, lbl2,
            [this](const QString& text) { showWhole(*lbl2, text); });
    connect(&bell_, &BellState::hintChanged, lbl9,
            [this](const QString& text) { showWhole(*lbl9, text); });
    connect(&bell_, &BellState::clockTextChanged, lbl1, &QLabel::setText);
    connect(&bell_, &BellState::dateTextChanged, this, &TForm1::showDateLine);
    connect(&bell_, &BellState::clockNoteChanged, this, &TForm1::showDateLine);
    connect(&bell_, &BellState::ringingChanged, this, &TForm1::applyRingingLock);
    connect(&bell_, &BellState::ringingChanged, this, &TForm1::saveResumeState);
}

void TForm1::showWhole(QLabel& label, const QString& text) {
    // Too wide for its line, the text ends in "…" and the tool tip holds all of it.
    const QString shown = label.fontMetrics().elidedText(text, Qt::ElideRight, label.width() - 4);
    label.setText(shown);
    label.setToolTip(shown == text ? QString() : text);
}

void TForm1::showDateLine() {
    // A line with the day's state is shortened with "…" when too wide; the tip holds it all.
    const QString& text = bell_.dateText();
    lbl12->setText(bell_.datePlain()
                       ? text
                       : lbl12->fontMetrics().elidedText(text, Qt::ElideRight, lbl12->width() - 4));
    const QString& note = bell_.clockNote();
    lbl12->setToolTip(note.isEmpty() ? text : text + QLatin1Char('\n') + note);
    // Red while the clock is not kept to network time, so it is seen at a glance.
    QPalette p = lbl12->palette();
    p.setColor(QPalette::WindowText, note.isEmpty() ? QColor(0, 0, 255) : QColor(220, 0, 0));
    lbl12->setPalette(p);
}

QList<QWidget*> TForm1::ringingLocks() const {
    return {rg1, rg2, btn12};
}

QList<QWidget*> TForm1::editingLocks() const {
    QList<QWidget*> locked{se_h, se_m, se_s, edtshijian, edtAudio_filename,
                           btn1, btn2, btn4, btn8,       btn11};
    for (QCheckBox* day : chkweek) {
        locked << day;
    }
    return locked;
}

void TForm1::applyRingingLock(bool locked) {
    // Locked, nothing can change or switch the timetable, so what rings is what the list shows.
    chk1->setChecked(locked);
    for (QWidget* w : ringingLocks()) {
        w->setEnabled(!locked);
    }
    // A follower's timetable is edited where it is published, never here.
    const bool following = follower_ != nullptr;
    for (QWidget* w : editingLocks()) {
        w->setEnabled(!locked && !following);
    }
    dbsmdbgrd1->setLocked(locked || following);  // it still scrolls, so every row can be read
    if (locked) {
        btn5->setEnabled(false);  // only a double-click on a row enables it again
        edtshijian->clear();
        edtAudio_filename->clear();
    } else {
        for (QCheckBox* day : chkweek) {
            day->setChecked(true);
        }
    }
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

template <typename Sender, typename Signal>
void TForm1::guarded(Sender* sender, Signal signal, void (TForm1::*handler)()) {
    guard_.connect(sender, signal, this, [this, handler] { (this->*handler)(); });
}

void TForm1::connectHandlers() {
    guarded(rg1, &RadioGroup::clicked, &TForm1::rg1Click);
    guarded(rg2, &RadioGroup::clicked, &TForm1::rg2Click);
    guarded(tmr1, &SecondTimer::timeout, &TForm1::tmr1Timer);
    guarded(tmr2, &SecondTimer::timeout, &TForm1::tmr2Timer);
    guarded(chk1, &QCheckBox::toggled, &TForm1::chk1Click);
    guarded(chk5, &QCheckBox::toggled, &TForm1::chk5Click);
    guarded(shutdownWarning.get(), &ShutdownWarning::cancelChosen, &TForm1::shutdownCancelClick);
    guarded(shutdownWarning.get(), &ShutdownWarning::nowChosen, &TForm1::shutdownNowClick);
    guarded(Form5.get(), &QDialog::finished, &TForm1::showShutdownTime);
    guarded(btn14, &QPushButton::clicked, &TForm1::btn14Click);
    guarded(btnCalendar, &QToolButton::clicked, &TForm1::btnCalendarClick);
    guarded(btn3, &QToolButton::clicked, &TForm1::btn3Click);
    guarded(btn6, &QToolButton::clicked, &TForm1::btn6Click);
    guarded(mp1, &TMediaPlayer::OnNotify, &TForm1::mp1Notify);
    guard_.connect(mp1, &TMediaPlayer::PlaybackFailed, this,
                   [this](const QString& file, const QString& why, const QString& detail) {
                       playback_->PlaybackFailed(file, why, detail);
                   });
    guard_.connect(mp1, &TMediaPlayer::OutputChanged, this,
                   [this](bool available) { outputNotice_->outputChanged(available); });
    guarded(btn7, &QPushButton::clicked, &TForm1::btn7Click);
    guarded(btn9, &QPushButton::clicked, &TForm1::btn9Click);
    guarded(btn13, &QToolButton::clicked, &TForm1::btn13Click);
    guarded(chk4, &QCheckBox::toggled, &TForm1::chk4Click);
    guarded(chk2, &QCheckBox::toggled, &TForm1::chk2Click);
    guarded(dbsmdbgrd1, &ScheduleGrid::rowDoubleClicked, &TForm1::dbsmdbgrd1DblClick);
    guarded(btn2, &QPushButton::clicked, &TForm1::btn2Click);
    guarded(btn5, &QPushButton::clicked, &TForm1::btn5Click);
    guarded(btn4, &QPushButton::clicked, &TForm1::btn4Click);
    guarded(btn8, &QPushButton::clicked, &TForm1::btn8Click);
    guarded(btn1, &QToolButton::clicked, &TForm1::btn1Click);
    guarded(btn11, &QToolButton::clicked, &TForm1::btn11Click);
    guarded(btn12, &QPushButton::clicked, &TForm1::btn12Click);
    guarded(rltrckbr1, &TRealTrackbar::changed, &TForm1::rltrckbr1Change);
    guarded(chk3, &QCheckBox::toggled, &TForm1::chk3Click);
    TrayIcon* tray = tray_.get();
    guarded(tray, &TrayIcon::showWindowChosen, &TForm1::N1Click);
    guarded(tray, &TrayIcon::exitChosen, &TForm1::N2Click);
    guarded(tray, &TrayIcon::shutdownChosen, &TForm1::N5Click);
    guarded(tray, &TrayIcon::doubleClicked, &TForm1::cltrycn1DblClick);
    guard_.connect(tray, &TrayIcon::availabilityChanged, this,
                   [this](bool available) { visibility_->trayAvailabilityChanged(available); });
    guarded(qApp, &QGuiApplication::commitDataRequest, &TForm1::EndSessionQuery);
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
    const auto stored = [this](const QString& key) {
        return settings_.readInteger(settings::kSet, key, 0);
    };
    showShutdownTime();
    addClockFont();

    dbsmtbl1.close();
    dbsmtbl1.setFolder(programFile(QStringLiteral("Data")));
    // Each change of selection runs its group's handler; then the run-mode handler runs once
    // more so the table opens even when neither selection changed. A table that fails to open
    // is reported and start-up goes on, so the clock and the other controls still come up.
    rg1->setItemIndex(RunModeSelection::storedIndex(stored(settings::kRunMode), rg1->count()));
    rg2->setItemIndex(RunModeSelection::storedIndex(stored(settings::kWeather), rg2->count()));
    guard_.run([this] { rg1Click(); });

    dbsmdbgrd1->applyLayout();
    exitRequested = false;
    chk2->setChecked(stored(settings::kAutoRun) == 1);
    chk5->setChecked(stored(settings::kAutoClose) == 1);
    volume_->startup();
    startMinimised_ = stored(settings::kMiniRun) == 1;
    chk4->setChecked(startMinimised_);

    startWithSession_->writeMenuEntry(programFile(QStringLiteral("Tollvane.desktop")));
    startFollowing();
    tmr2->setEnabled(true);
}
