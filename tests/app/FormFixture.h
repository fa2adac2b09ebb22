#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "TempDir.h"
#include "app/TForm1.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDialogs.h"
#include "fakes/LogRecorder.h"
#include "schedule/ScheduleFixture.h"

// A program folder in a temporary directory with the five tables, and a main window over it
// driven by a fake clock and fake dialogs.
struct FormFixture : ::testing::Test {
    TempDir folder;
    FakeClock clock;
    FakeDialogs dialogs;
    LogRecorder log{clock};
    std::unique_ptr<TForm1> form;

    FormFixture() {
        QDir(folder.path()).mkdir("Data");
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
        form = std::make_unique<TForm1>(Services{clock, dialogs, log.log, folder.path()});
        form->FormCreate();
        return *form;
    }
    QString openTable() const {
        return form->dbsmtbl1.isOpen() ? form->dbsmtbl1.name() : QString();
    }
};
