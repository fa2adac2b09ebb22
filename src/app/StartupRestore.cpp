#include "app/StartupRestore.h"

#include <QCheckBox>
#include <QLabel>

#include "app/RadioGroup.h"
#include "app/TForm1.h"
#include "core/IniFile.h"
#include "core/SettingsKeys.h"
#include "schedule/RunModeSelection.h"
#include "scheduleui/ScheduleGrid.h"
#include "system/VolumeControl.h"

void StartupRestore::run() {
    TForm1& f = form_;
    IniFile& ini = f.settings();
    const auto stored = [&ini](const QString& key) {
        return ini.readInteger(settings::kSet, key, 0);
    };

    f.lbl10->setText(QStringLiteral("Tollvane 校园音乐铃声\n按时间表自动播放上下课音乐"));
    f.addClockFont();

    f.dbsmtbl1.close();
    f.dbsmtbl1.setFolder(f.programFile(QStringLiteral("Data")));

    // Each change of selection runs its group's handler; then the run-mode handler runs once
    // more so the table opens even when neither selection changed. A table that fails to open
    // is reported and start-up goes on, so the clock and the other controls still come up.
    f.rg1->setItemIndex(RunModeSelection::storedIndex(stored(settings::kRunMode), f.rg1->count()));
    f.rg2->setItemIndex(RunModeSelection::storedIndex(stored(settings::kWeather), f.rg2->count()));
    f.guard().run([&f] { f.rg1Click(); });

    f.dbsmdbgrd1->applyLayout();
    f.countdown = 16;
    f.EventNear = false;
    f.exitRequested = false;

    f.chk2->setChecked(stored(settings::kAutoRun) == 1);
    f.chk5->setChecked(stored(settings::kAutoClose) == 1);
    f.volume().startup();
    f.startMinimised = stored(settings::kMiniRun) == 1;
    f.chk4->setChecked(f.startMinimised);
}
