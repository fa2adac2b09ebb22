#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The last minute before the timed shutdown: "电脑将在 N 秒后关机" with 取消关机 and 立即关机.
// A window of its own, never modal, so the clock and the bells go on; it stays above other
// windows so that a person working at the PC sees it. ShutdownControl decides; this shows.
class ShutdownWarning : public QWidget {
    Q_OBJECT
  public:
    explicit ShutdownWarning(QWidget* parent = nullptr);

    static QString countdownText();  // %1: seconds

    // Shows the window (raised, the first time) with the seconds left.
    void showCountdown(int secondsLeft);

    QLabel* lblCountdown = nullptr;
    QPushButton* btnCancel = nullptr;  // 取消关机
    QPushButton* btnNow = nullptr;     // 立即关机

  signals:
    void cancelChosen();
    void nowChosen();

  protected:
    // Closing the window with its title bar is no answer: the shutdown goes ahead. The program's
    // own closing of it (at its exit) is never refused.
    void closeEvent(QCloseEvent* event) override;
};
