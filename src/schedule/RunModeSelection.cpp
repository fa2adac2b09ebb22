#include "schedule/RunModeSelection.h"

#include <algorithm>

#include "core/EventLog.h"
#include "core/IniFile.h"
#include "core/SettingsKeys.h"
#include "schedule/ScheduleTable.h"

RunModeSelection::RunModeSelection(ScheduleTable& table, IniFile& settings, EventLog& log,
                                   std::function<void()> afterOpen)
    : table_(table), settings_(settings), log_(log), afterOpen_(std::move(afterOpen)) {}

QString RunModeSelection::tableName(int runMode, int weather) {
    const bool sunny = weather == 0;
    switch (runMode) {
        case 0:
            return QStringLiteral("temp.dat");
        case 1:
            return sunny ? QStringLiteral("xiaqing.dat") : QStringLiteral("xiayu.dat");
        case 2:
            return sunny ? QStringLiteral("dongqing.dat") : QStringLiteral("dongyu.dat");
        default:
            return {};
    }
}

int RunModeSelection::storedIndex(int stored, int itemCount) {
    return std::clamp(stored, 0, itemCount - 1);
}

void RunModeSelection::rg1Click(int runMode, int weather) {
    const QString name = tableName(runMode, weather);
    if (!name.isEmpty()) {
        table_.open(name);
        log_.write(QStringLiteral("table-open"), table_.filePath());
        settings_.writeInteger(settings::kSet, settings::kRunMode, runMode);
    }
    if (afterOpen_) {
        afterOpen_();
    }
}

void RunModeSelection::rg2Click(int runMode, int weather) {
    settings_.writeInteger(settings::kSet, settings::kWeather, weather);
    rg1Click(runMode, weather);
}
