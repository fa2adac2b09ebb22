#pragma once

#include <QDateTime>
#include <QString>

namespace schedule {

// Copies a table file into the folder "backup" beside it, as name-YYYYMMDD-HHMMSS.dat (the
// moment given), and keeps the newest `keep` copies of that table. Returns the copy's path;
// throws AppError, naming the file, when no copy could be made.
QString backupTable(const QString& file, const QDateTime& at, int keep = 20);

}  // namespace schedule
