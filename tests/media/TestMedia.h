#pragma once

#include <QString>

// Small sound files made by the tests themselves.
namespace testmedia {

// A PCM WAV file of a 440 Hz tone, 16-bit mono 44.1 kHz.
void writeWav(const QString& path, int milliseconds);
// A standard MIDI file playing a few notes for about `milliseconds`.
void writeMidi(const QString& path, int milliseconds);
// Encodes a tone with GStreamer: "mp3" (lamemp3enc) or "wma" (avenc_wmav2 in ASF).
bool encode(const QString& path, const QString& kind, int milliseconds);

}  // namespace testmedia
