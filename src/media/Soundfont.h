#pragma once

#include <QString>
#include <QStringList>

namespace media {

// The soundfont for MIDI: $TOLLVANE_SOUNDFONT when it names a file, else the first of the
// General MIDI soundfonts found in `folders` (the system's default one first).
QString findSoundfont(const QStringList& folders = {QStringLiteral("/usr/share/sounds/sf2"),
                                                    QStringLiteral("/usr/share/soundfonts")});

}  // namespace media
