#pragma once

#include <gtest/gtest.h>

#include <QFileInfo>
#include <memory>

#include "TempDir.h"
#include "app/TForm1.h"
#include "core/SecondTimer.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDialogs.h"
#include "fakes/FakeMixer.h"
#include "fakes/FakePlayerBackend.h"
#include "fakes/FakePower.h"
#include "fakes/FakeTray.h"
#include "fakes/InlineBackground.h"
#include "fakes/LogRecorder.h"
#include "media/GstBackend.h"
#include "schedule/ScheduleFixture.h"
#include "system/XdgAutostart.h"

// A program folder in a temporary directory with the five tables, and a main window over it
// driven by a fake clock and fake dialogs.
struct FormFixture : ::testing::Test {
    TempDir folder;
    FakeClock clock;
    FakeDialogs dialogs;
    LogRecorder log{clock};
    std::unique_ptr<TForm1> form;
    FakePlayerBackend* backend = nullptr;
    FakePower* power = nullptr;
    FakeTray* tray = nullptr;
    FakeOpener* opener = nullptr;
    bool trayAvailable = true;  // whether a tray host is there when the window is made
    bool realPlayer = false;    // the GStreamer back end instead of the fake one
    FakeMixer* mixer = nullptr;
    bool mixerThere = true;  // the mixer at start
    int mixerLevel = 70;
    bool clockRunning = false;             // the clock timer was running when start-up ended
    std::unique_ptr<ClockSync> clockSync;  // the kernel's time-keeping state, when a test gives one
    // The school's bundle a `[Sync] Source=` names, when a test follows one.
    std::function<std::unique_ptr<BundleSource>(const QString&, Background&)> bundleSource;

    FormFixture() {
        QDir(folder.path()).mkdir("Data");
        QDir(folder.path()).mkdir(QStringLiteral("随机音乐"));
        for (const QString& name : schedule::kTableNames) {
            ScheduleDb::create(dataFile(name));
        }
    }
    QString dataFile(const QString& name) const { return folder.file("Data/" + name); }
    void fill(const QString& table, const std::vector<ScheduleRow>& rows) const {
        ScheduleDb(dataFile(table)).replaceAll(rows);
    }
    void writeConfig(const QByteArray& text) const { folder.write("config.ini", text); }
    int setting(const char* key, int fallback = -99) const {
        return IniFile(folder.file("config.ini"))
            .readInteger("Set", QString::fromLatin1(key), fallback);
    }
    TForm1& start() {
        std::unique_ptr<PlayerBackend> player;
        if (realPlayer) {
            player = std::make_unique<GstBackend>();
        } else {
            auto fake = std::make_unique<FakePlayerBackend>();
            backend = fake.get();
            player = std::move(fake);
        }
        auto fakePower = std::make_unique<FakePower>();
        auto fakeTray = std::make_unique<FakeTray>();
        auto fakeOpener = std::make_unique<FakeOpener>();
        auto fakeMixer = std::make_unique<FakeMixer>();
        mixer = fakeMixer.get();
        mixer->there = mixerThere;
        mixer->percent = mixerLevel;
        power = fakePower.get();
        tray = fakeTray.get();
        opener = fakeOpener.get();
        tray->available = trayAvailable;
        form = std::make_unique<TForm1>(
            Services{clock, dialogs, log.log, folder.path(), std::move(player),
                     std::move(fakePower), std::move(fakeTray), std::move(fakeOpener),
                     std::make_unique<XdgAutostart>(folder.file("xdg/autostart"),
                                                    folder.file("home/autostart")),
                     std::move(fakeMixer), QString(), std::move(clockSync), folder.file("tollvane"),
                     bundleSource, std::make_unique<InlineBackground>()});
        form->FormCreate();
        // Tests call the clock tick themselves, at the fake clock's times; the real timer would
        // add ticks of its own whenever a test lets the event loop run.
        clockRunning = form->tmr2->isEnabled();
        form->tmr2->setEnabled(false);
        return *form;
    }
    // A sound file in the program folder (relative name) or anywhere (absolute).
    QString sound(const QString& name) const {
        const QString path = QDir(folder.path()).filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        folder.write(QDir(folder.path()).relativeFilePath(path), "sound");
        return path;
    }
    void tunes(int count) const {
        for (int i = 0; i < count; ++i) {
            sound(QStringLiteral("随机音乐/tune%1.mp3").arg(i));
        }
    }
    QString openTable() const {
        return form->dbsmtbl1.isOpen() ? form->dbsmtbl1.name() : QString();
    }
};
