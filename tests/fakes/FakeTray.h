#pragma once

#include <QStringList>

#include "app/FileOpener.h"
#include "app/TrayIcon.h"

// A tray that is there or not as the test says, and records what the program asked of it.
struct FakeTray : TrayIcon {
    bool isAvailable() const override { return available; }
    void setVisible(bool v) override { visible = v; }
    void showBalloon(const QString& title, const QString& text, int seconds) override {
        balloons << title + QLatin1Char('|') + text + QLatin1Char('|') + QString::number(seconds);
    }
    // The tray host comes up or goes away.
    void setAvailable(bool a) {
        available = a;
        emit availabilityChanged(a);
    }
    bool available = true;
    bool visible = false;
    QStringList balloons;
};

// Records what it was asked to open; succeeds unless told otherwise.
struct FakeOpener : FileOpener {
    bool open(const QString& path) override {
        opened << path;
        return works;
    }
    bool works = true;
    QStringList opened;
};
