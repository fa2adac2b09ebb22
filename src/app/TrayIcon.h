#pragma once

#include <QObject>
#include <QString>

// The notification-area icon and its menu. The real one sits in the desktop's tray; tests use a
// fake. The menu offers, top to bottom: "关闭计算机", "显示窗口", "退出程序".
class TrayIcon : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // Whether a tray host is there to show the icon now.
    virtual bool isAvailable() const = 0;
    // Adds the icon to the tray (or removes it); it appears when a tray comes up later.
    virtual void setVisible(bool visible) = 0;
    // A balloon with the program's icon at the tray icon, for `seconds` seconds.
    virtual void showBalloon(const QString& title, const QString& text, int seconds) = 0;

  signals:
    void availabilityChanged(bool available);
    void doubleClicked();
    void shutdownChosen();    // "关闭计算机"
    void showWindowChosen();  // "显示窗口"
    void exitChosen();        // "退出程序"
};
