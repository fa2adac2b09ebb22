#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file's content as one step: the new content goes to a temporary file beside it,
// which is written, synced to disk and renamed over the old one. On any failure (a full disk, a
// read-only folder) the old file stays exactly as it was, the temporary file is removed, and
// false comes back. An existing file's permissions are kept; a new file gets 0666 less the umask.
namespace wholefile {

bool replace(const QString& path, const QByteArray& content);

}  // namespace wholefile
