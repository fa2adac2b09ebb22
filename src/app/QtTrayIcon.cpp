#include "app/QtTrayIcon.h"

namespace {
constexpr int kWatchMs = 2000;
}

QtTrayIcon::QtTrayIcon(const QIcon& icon, QObject* parent)
    : TrayIcon(parent), available_(QSystemTrayIcon::isSystemTrayAvailable()) {
    pm1.setObjectName(QStringLiteral("pm1"));
    QAction* n5 = pm1.addAction(QStringLiteral("关闭计算机"));
    pm1.addSeparator();
    QAction* n1 = pm1.addAction(QStringLiteral("显示窗口"));
    pm1.addSeparator();
    QAction* n2 = pm1.addAction(QStringLiteral("退出程序"));
    n5->setObjectName(QStringLiteral("N5"));
    n1->setObjectName(QStringLiteral("N1"));
    n2->setObjectName(QStringLiteral("N2"));
    connect(n5, &QAction::triggered, this, &TrayIcon::shutdownChosen);
    connect(n1, &QAction::triggered, this, &TrayIcon::showWindowChosen);
    connect(n2, &QAction::triggered, this, &TrayIcon::exitChosen);

    cltrycn1.setIcon(icon);
    cltrycn1.setToolTip(QStringLiteral("Tollvane"));
    // The right button opens the menu; the left one does not.
    cltrycn1.setContextMenu(&pm1);
    connect(&cltrycn1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    emit doubleClicked();
                }
            });

    connect(&watch_, &QTimer::timeout, this, &QtTrayIcon::checkAvailability);
    watch_.start(kWatchMs);
}

void QtTrayIcon::setVisible(bool visible) {
    visible_ = visible;
    cltrycn1.setVisible(visible);
}

void QtTrayIcon::checkAvailability() {
    const bool now = QSystemTrayIcon::isSystemTrayAvailable();
    if (now == available_) {
        return;
    }
    available_ = now;
    if (visible_) {
        // Dock again in the tray that came up (or give up the one that went).
        cltrycn1.hide();
        cltrycn1.setVisible(available_);
    }
    emit availabilityChanged(available_);
}

void QtTrayIcon::showBalloon(const QString& title, const QString& text, int seconds) {
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    cltrycn1.showMessage(title, shown, cltrycn1.icon(), seconds * 1000);
}
