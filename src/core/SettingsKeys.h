#pragma once

#include <QString>

// The sections and keys of config.ini, named once for every reader and writer.
namespace settings {

inline const QString kSet = QStringLiteral("Set");
inline const QString kRunMode = QStringLiteral("RunMode");
inline const QString kWeather = QStringLiteral("Weather");
inline const QString kAutoPlay = QStringLiteral("Auto_Play");
inline const QString kAutoRun = QStringLiteral("Auto_Run");
inline const QString kAutoClose = QStringLiteral("AutoClose");
inline const QString kMiniRun = QStringLiteral("MiniRun");
inline const QString kMusicCount = QStringLiteral("Music_SJ");
// The last school-calendar switch date carried out, as YYYYMMDD.
inline const QString kCalendarSwitch = QStringLiteral("Calendar_Switch");

inline const QString kCloseTime = QStringLiteral("CloseTime");
inline const QString kHour = QStringLiteral("Hour");
inline const QString kMinute = QStringLiteral("Minute");
inline const QString kSecond = QStringLiteral("Second");

// A PC that follows the school's bundle: where it is published, and how often it is read.
inline const QString kSync = QStringLiteral("Sync");
inline const QString kSyncSource = QStringLiteral("Source");
inline const QString kSyncInterval = QStringLiteral("Interval");

}  // namespace settings
