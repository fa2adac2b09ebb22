#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The manifest of a school's bundle: its version (also the name of the version's folder) and
// each file in that folder with its size and SHA-256. It comes from the network or a share, so
// reading it trusts nothing.
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

}  // namespace bundle
