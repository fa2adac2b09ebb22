#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "app/ResumeState.h"
#include "calendar/CalendarBook.h"
#include "core/ClockSync.h"
#include "core/HandlerGuard.h"
#include "core/IniFile.h"
#include "ringing/BellState.h"
#include "schedule/ScheduleTable.h"
#include "sync/BundleSource.h"

class Clock;
class ClockTrust;
class Dialogs;
class EventLog;
class FileOpener;
class HelpCommand;
class TrayIcon;
class WindowVisibility;
class StartWithSession;
class XdgAutostart;
class NextEventHint;
class RandomPlaylist;
class AutoPlaySwitch;
class ClockTick;
class OutputNotice;
class Power;
class ShutdownControl;
class PlaybackControl;
class RingScheduler;
class PlayerBackend;
class TMediaPlayer;
class RadioGroup;
class RunModeSelection;
class ScheduleGrid;
class SecondTimer;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRealTrackbar;
class MasterVolume;
class VolumeControl;
class ClampingSpinBox;
class ScheduleEditor;
class RecorderControl;
class QToolButton;
class TForm3;
class TForm4;
class TForm5;
class ShutdownWarning;
class CalendarDay;
class CalendarWindow;
class BundleFollower;

// What the main window is given: the real back ends by the program entry, fakes by a test.
struct Services {
    const Clock& clock;
    Dialogs& dialogs;
    EventLog& log;
    QString programFolder;
    std::unique_ptr<PlayerBackend> playerBackend;  // the player's audio back end
    std::unique_ptr<Power> power;                  // what switches the computer off
    std::unique_ptr<TrayIcon> tray;                // the notification-area icon
    std::unique_ptr<FileOpener> opener;            // opens the help with the desktop's handler
    std::unique_ptr<XdgAutostart> autostart;       // the session's autostart folders
    std::unique_ptr<MasterVolume> mixer;           // the computer's master volume
    QString resumeFile;  // where the state a restart takes up is kept; empty: nowhere
    std::unique_ptr<ClockSync> clockSync;  // the kernel's time-keeping state; null: not watched
    QString executable;  // the program's binary, which the session's autostart entry runs
    // The school's bundle that a `[Sync] Source=` names (a web folder or a share); null: the PC
    // keeps its own timetables whatever config.ini says.
    std::function<std::unique_ptr<BundleSource>(const QString& source, Background& background)>
        bundleSource;
    std::unique_ptr<Background> background;  // the follower's file work, off the window's thread
};

// The main window. It builds the controls, the classes that handle them and the other windows
// (hidden) in one step, connects each control's signal to its handler through the guard, and
// shows the bell's state (BellState) in its labels; the behaviour lives in those classes.
class TForm1 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm1(Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // The creation handler, in its fixed order: credit line and clock font, the table folder,
    // run mode and weather (which open the working table), the grid layout, the option boxes and
    // the window state, all restored from config.ini. Each change of a box or a group runs its
    // handler exactly as a user's click would.
    void FormCreate();

    // Handlers, each run through the guard.
    void rg1Click();
    void rg2Click();
    void tmr1Timer();
    void tmr2Timer();
    void chk1Click();
    void chk5Click();
    void shutdownCancelClick();  // 取消关机 in the countdown
    void shutdownNowClick();     // 立即关机 in the countdown
    // The credit line shows the daily shutdown's time while 定时关机 is ticked.
    void showShutdownTime();
    void N5Click();
    void btn14Click();
    void btnCalendarClick();
    void btn3Click();
    void btn6Click();
    void mp1Notify();
    void btn7Click();
    void btn9Click();
    void btn13Click();
    void chk4Click();
    void chk2Click();
    void dbsmdbgrd1DblClick();
    void btn2Click();
    void btn5Click();
    void btn4Click();
    void btn8Click();
    void btn1Click();
    void btn11Click();
    void btn12Click();
    void rltrckbr1Change();
    void chk3Click();
    VolumeControl& volume() { return *volume_; }
    void N1Click();
    void N2Click();
    void cltrycn1DblClick();
    void EndSessionQuery();

    // Shows the window, or only the tray icon when it starts hidden.
    void showAtStart();
    // Started again after a crash: no start-up wait or tune; ringing and the window as they
    // were, the bells due since the crash taken up.
    void resume(const ResumeState& state, const QDateTime& crashedAt);

    QString programFile(const QString& name) const;
    HandlerGuard& guard() { return guard_; }
    IniFile& settings() { return settings_; }
    RandomPlaylist& randomMusic() { return *music_; }
    // The bell's state that the labels show.
    BellState& bell() { return bell_; }
    // Whether the coming event is within its last ten seconds, and the seconds left.
    bool EventNear() const { return bell_.EventNear(); }
    int countdown() const { return bell_.countdown(); }

    // Shared fields.
    bool exitRequested = false;
    int editRecNo = 0;

    // Controls, named as the program names them.
    ScheduleTable dbsmtbl1;
    ScheduleGrid* dbsmdbgrd1 = nullptr;
    QLabel* lbl1 = nullptr;
    QLabel* lbl2 = nullptr;
    QLabel* lbl3 = nullptr;
    QLabel* lbl9 = nullptr;
    QLabel* lbl10 = nullptr;
    QLabel* lbl11 = nullptr;
    QLabel* lbl12 = nullptr;
    QFrame* pnl1 = nullptr;
    QToolButton* btn6 = nullptr;
    QToolButton* btn3 = nullptr;
    QToolButton* btn13 = nullptr;
    QCheckBox* chk1 = nullptr;
    QCheckBox* chk2 = nullptr;
    QCheckBox* chk3 = nullptr;
    QCheckBox* chk4 = nullptr;
    QCheckBox* chk5 = nullptr;
    QGroupBox* grp1 = nullptr;
    QGroupBox* grp2 = nullptr;
    TRealTrackbar* rltrckbr1 = nullptr;
    RadioGroup* rg1 = nullptr;
    RadioGroup* rg2 = nullptr;
    ClampingSpinBox* se_h = nullptr;
    ClampingSpinBox* se_m = nullptr;
    ClampingSpinBox* se_s = nullptr;
    QCheckBox* chkweek[7] = {};
    QLineEdit* edtshijian = nullptr;
    QLineEdit* edtAudio_filename = nullptr;
    QToolButton* btn11 = nullptr;
    QToolButton* btn1 = nullptr;
    QPushButton* btn12 = nullptr;
    QPushButton* btn2 = nullptr;
    QPushButton* btn8 = nullptr;
    QPushButton* btn4 = nullptr;
    QPushButton* btn5 = nullptr;
    QPushButton* btn9 = nullptr;
    QPushButton* btn14 = nullptr;
    QPushButton* btn7 = nullptr;
    QToolButton* btnCalendar = nullptr;
    SecondTimer* tmr1 = nullptr;
    SecondTimer* tmr2 = nullptr;
    TMediaPlayer* mp1 = nullptr;

    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm4> Form4;
    std::unique_ptr<TForm5> Form5;
    std::unique_ptr<ShutdownWarning> shutdownWarning;  // the last minute before the shutdown
    std::unique_ptr<CalendarWindow> calendarWindow;
    const CalendarBook& calendarBook() const { return calendarBook_; }
    // Whether this PC follows the school's bundle, and its follower (null otherwise).
    BundleFollower* follower() const { return follower_.get(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void buildControls();
    void createParts();
    // Adds "digital.ttf" for the clock labels; removed again when the window goes.
    void addClockFont();
    void removeClockFont();
    void connectHandlers();
    // Connects a signal to one of this window's handlers, run through the guard.
    template <typename Sender, typename Signal>
    void guarded(Sender* sender, Signal signal, void (TForm1::*handler)());
    // The labels show the bell's state; the lock of automatic ringing goes to its controls.
    void showBellState();
    void applyRingingLock(bool locked);
    // The date line with its tip, and the clock's note in both when it is not synchronised.
    void showDateLine();
    static void showWhole(QLabel& label, const QString& text);
    void saveResumeState();
    // The controls that switch the timetable or record: locked while ringing is on.
    QList<QWidget*> ringingLocks() const;
    // The controls that edit the timetable: locked while ringing is on, and on a follower.
    QList<QWidget*> editingLocks() const;
    // A PC whose config.ini names the school's bundle follows it from here on: editing and the
    // calendar window are locked and the first round starts.
    void startFollowing();
    // A version was taken in: the working table and the calendar are read again if they changed.
    void bundleInstalled(const QStringList& changed);
    // The editing group says where the timetable comes from and when it was last confirmed.
    void showFollowerState();
    // The date line and the hint again, after the calendar changed or a day began.
    void showCalendarDay();

    Services services_;
    IniFile settings_;
    HandlerGuard guard_;
    BellState bell_;
    bool startMinimised_ = false;
    bool resumed_ = false;  // started again after a crash, its first tick still to come
    CalendarBook calendarBook_;
    std::unique_ptr<CalendarDay> calendarDay_;
    std::unique_ptr<NextEventHint> hint_;
    std::unique_ptr<RunModeSelection> runMode_;
    std::unique_ptr<RandomPlaylist> music_;
    std::unique_ptr<PlaybackControl> playback_;
    std::unique_ptr<RingScheduler> scheduler_;
    std::unique_ptr<AutoPlaySwitch> autoPlay_;
    std::unique_ptr<ScheduleEditor> editor_;
    std::unique_ptr<RecorderControl> recorder_;
    std::unique_ptr<MasterVolume> mixer_;
    std::unique_ptr<VolumeControl> volume_;
    std::unique_ptr<Power> power_;
    std::unique_ptr<ShutdownControl> shutdown_;
    std::unique_ptr<ClockTick> clockTick_;
    std::unique_ptr<ClockSync> clockSync_;
    std::unique_ptr<ClockTrust> clockTrust_;
    std::unique_ptr<OutputNotice> outputNotice_;
    std::unique_ptr<TrayIcon> tray_;
    std::unique_ptr<FileOpener> opener_;
    std::unique_ptr<WindowVisibility> visibility_;
    std::unique_ptr<HelpCommand> help_;
    std::unique_ptr<XdgAutostart> autostart_;
    std::unique_ptr<StartWithSession> startWithSession_;
    std::unique_ptr<Background> background_;
    std::unique_ptr<BundleFollower> follower_;
    QString followedSource_;
    int fontId_ = -1;
};
