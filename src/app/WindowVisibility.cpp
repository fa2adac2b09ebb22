#include "app/WindowVisibility.h"

#include <QWidget>

#include "app/TrayIcon.h"
#include "core/EventLog.h"

WindowVisibility::WindowVisibility(QWidget& window, TrayIcon& tray, bool& exitRequested,
                                   EventLog& log)
    : window_(window), tray_(tray), exitRequested_(exitRequested), log_(log) {}

QString WindowVisibility::balloonTitle() {
    return QStringLiteral("温馨提示：");
}

QString WindowVisibility::balloonText() {
    return QStringLiteral("\u3000\u3000Tollvane\r已经最小化为托盘图标。");
}

void WindowVisibility::start(bool hidden) {
    tray_.setVisible(true);
    log_.write(QStringLiteral("tray"),
               tray_.isAvailable() ? QStringLiteral("available") : QStringLiteral("missing"));
    if (!hidden) {
        window_.show();
    } else if (!tray_.isAvailable()) {
        window_.showMinimized();  // reachable from the task bar until a tray comes up
    }
    // Hidden with a tray: only the icon; the window was never shown, so no balloon.
}

bool WindowVisibility::FormCloseQuery() {
    if (exitRequested_) {
        return true;
    }
    HideToTray();
    return false;
}

void WindowVisibility::HideToTray() {
    if (!tray_.isAvailable()) {
        if (!window_.isMinimized()) {
            window_.showMinimized();
            log_.write(QStringLiteral("window-minimised"));
        }
        return;
    }
    if (!window_.isVisible()) {
        return;
    }
    window_.hide();
    log_.write(QStringLiteral("window-hidden"));
    tray_.showBalloon(balloonTitle(), balloonText(), 5);
}

void WindowVisibility::ShowMainWindow() {
    window_.showNormal();
    window_.raise();
    window_.activateWindow();
    log_.write(QStringLiteral("window-shown"));
}

void WindowVisibility::minimised() {
    if (tray_.isAvailable() && window_.isVisible()) {
        HideToTray();
    }
}

void WindowVisibility::EndSessionQuery() {
    exitRequested_ = true;
    log_.write(QStringLiteral("session-end"));
}

void WindowVisibility::trayAvailabilityChanged(bool available) {
    log_.write(QStringLiteral("tray"),
               available ? QStringLiteral("available") : QStringLiteral("missing"));
    if (!available && !window_.isVisible()) {
        window_.showMinimized();  // the tray went away with the window in it
    }
}
