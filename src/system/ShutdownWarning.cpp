#include "system/ShutdownWarning.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ShutdownWarning::ShutdownWarning(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("ShutdownWarning"));
    setWindowTitle(QStringLiteral("定时关机"));
    auto* layout = new QVBoxLayout(this);
    lblCountdown = new QLabel(this);
    QFont big = lblCountdown->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    lblCountdown->setFont(big);
    lblCountdown->setAlignment(Qt::AlignCenter);
    layout->addWidget(lblCountdown);
    auto* buttons = new QHBoxLayout;
    btnCancel = new QPushButton(QStringLiteral("取消关机"), this);
    btnNow = new QPushButton(QStringLiteral("立即关机"), this);
    btnCancel->setDefault(true);  // Enter keeps the PC on
    buttons->addStretch();
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnNow);
    layout->addLayout(buttons);
    connect(btnCancel, &QPushButton::clicked, this, &ShutdownWarning::cancelChosen);
    connect(btnNow, &QPushButton::clicked, this, &ShutdownWarning::nowChosen);
}

QString ShutdownWarning::countdownText() {
    return QStringLiteral("电脑将在 %1 秒后关机");
}

void ShutdownWarning::showCountdown(int secondsLeft) {
    lblCountdown->setText(countdownText().arg(secondsLeft));
    if (!isVisible()) {
        show();
        raise();
        activateWindow();
        btnCancel->setFocus();
    }
}

void ShutdownWarning::closeEvent(QCloseEvent* event) {
    // Only the title bar's close is refused; the program's own closing (its exit, which closes
    // every window and gives up if one refuses) goes ahead.
    if (event->spontaneous()) {
        event->ignore();
    } else {
        event->accept();
    }
}
