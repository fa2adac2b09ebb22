#pragma once

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "app/TrayIcon.h"

// The tray icon on QSystemTrayIcon: Qt picks the protocol (StatusNotifierItem where a host is
// registered, else the XEmbed system tray). A tray that comes up after the program (a panel
// that starts late) or goes away is noticed within a few seconds.
class QtTrayIcon : public TrayIcon {
    Q_OBJECT
  public:
    explicit QtTrayIcon(const QIcon& icon, QObject* parent = nullptr);

    bool isAvailable() const override { return available_; }
    void setVisible(bool visible) override;
    void showBalloon(const QString& title, const QString& text, int seconds) override;

  private:
    void checkAvailability();

    QMenu pm1;
    QSystemTrayIcon cltrycn1;
    QTimer watch_;
    bool available_ = false;
    bool visible_ = false;
};
