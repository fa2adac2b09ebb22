#pragma once

#include <QString>

class EventLog;
class QWidget;
class TrayIcon;

// Where the main window is: shown, hidden in the tray, or closed (the program ending). Closing
// without an exit request, "隐藏" and minimising hide the window into the tray with a balloon;
// "显示窗口" and a double-click on the icon bring it back. Without a tray the window minimises to
// the task bar instead, so it is never out of reach. Hiding changes nothing but visibility.
class WindowVisibility {
  public:
    WindowVisibility(QWidget& window, TrayIcon& tray, bool& exitRequested, EventLog& log);

    static QString balloonTitle();
    static QString balloonText();

    // Shows the window at start, or with `hidden` only the tray icon (minimised without a tray).
    void start(bool hidden);

    // Whether a close of the window may go ahead: only once exit was requested; otherwise the
    // window goes to the tray.
    bool FormCloseQuery();
    void HideToTray();
    void ShowMainWindow();
    // The window was minimised: with a tray it goes there.
    void minimised();
    // The session is ending: the program agrees and lets it end, asking nothing.
    void EndSessionQuery();
    void trayAvailabilityChanged(bool available);

  private:
    QWidget& window_;
    TrayIcon& tray_;
    bool& exitRequested_;
    EventLog& log_;
};
