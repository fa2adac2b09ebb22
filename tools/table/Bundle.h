#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// A school's bundle: what every bell PC of the school rings from, published into a folder that a
// web server serves or that a share makes visible. The folder holds `manifest.json` and one
// folder per version; the manifest names its version's folder and each file in it (relative
// path, size, SHA-256): the five timetables and the calendar as CSV, the sounds the rows name
// inside the program folder, and the random-music folder.
namespace bundle {

inline const QString kManifest = QStringLiteral("manifest.json");

struct File {
    QString path;  // relative to the version's folder, '/'-separated
    qint64 size = 0;
    QByteArray sha256;  // hex
    bool operator==(const File&) const = default;
};

struct Manifest {
    QString version;  // also the name of its folder
    std::vector<File> files;
};

QByteArray toJson(const Manifest& manifest);
// Null with the reason when the text is not a manifest, or names a path that leaves its
// folder (absolute, "..", a backslash, empty).
std::optional<Manifest> fromJson(const QByteArray& json, QString* why);
// True for a relative path that stays inside the folder it is read from.
bool safePath(const QString& path);

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
