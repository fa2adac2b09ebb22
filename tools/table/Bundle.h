#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "table/Manifest.h"

// A school's bundle: what every bell PC of the school rings from, published into a folder that a
// web server serves or that a share makes visible. The folder holds `manifest.json` and one
// folder per version; the manifest names its version's folder and each file in it (relative
// path, size, SHA-256): the five timetables and the calendar as CSV, the sounds the rows name
// inside the program folder, and the random-music folder.
namespace bundle {

struct Published {
    QString version;
    std::vector<File> files;
    QStringList warnings;  // rows whose sound other PCs will not have
};

// Writes the program folder's bundle into `out`: the new version's folder first, the manifest
// last (written aside and renamed), so a reader sees the old bundle or the new one, never a mix.
// The version before the new one is kept for a reader still fetching it; older ones go. Throws
// AppError when something cannot be read or written.
Published publish(const QString& programFolder, const QString& out);

}  // namespace bundle
