#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

#include "calendar/SchoolCalendar.h"
#include "schedule/ScheduleRow.h"
#include "table/Bundle.h"

// A follower's side of the school's bundle: a version fetched into a staging folder is checked
// against its manifest and read whole before anything local changes; only a version that passes
// is taken into the program folder. Whatever fails, the PC keeps ringing what it has.
namespace bundle {

// A bundle larger than this is refused before anything is fetched.
inline constexpr qint64 kMaxBytes = 500LL * 1024 * 1024;

struct Checked {
    std::map<QString, std::vector<ScheduleRow>> tables;  // by table file ("temp.dat")
    std::vector<CalendarEntry> calendar;
};

// Null with the reason when the manifest asks too much (over kMaxBytes, a table missing).
std::optional<QString> refusal(const Manifest& manifest);

// Copies the version's files from a folder source (a share) into `staged`, as the manifest lists
// them; false with the reason for a file that is missing, a link or of another size.
bool fetchFromFolder(const QString& source, const Manifest& manifest, const QString& staged,
                     QString* why);

// Copies into `staged` each sound of the manifest that the program folder already holds with
// the same size and SHA-256; returns the manifest's other paths, the ones still to fetch.
QStringList reuseLocal(const QString& programFolder, const Manifest& manifest,
                       const QString& staged);

// Checks what was fetched: each file of its size and SHA-256, a regular file, and every table
// and the calendar readable by the rules of `import`. Null with the first reason otherwise.
std::optional<Checked> check(const QString& staged, const Manifest& manifest, QString* why);

// Takes a checked version in: its sounds first (so no table names a sound not yet there), then
// each table and the calendar that differ, the previous ones copied to Data/backup/. Returns
// what changed ("temp.dat", "calendar.dat", "2 个声音文件"); throws AppError when a file cannot
// be written.
QStringList install(const QString& programFolder, const QString& staged, const Manifest& manifest,
                    const Checked& checked, const QDateTime& now);

}  // namespace bundle
