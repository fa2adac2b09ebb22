#pragma once

// The work of the decoding helper (the program run with kDecodeFlag IN OUT): decodes any sound
// GStreamer reads into a 16-bit PCM WAV file. Returns the process's exit status: 0 when OUT
// holds the whole sound, 1 when IN could not be decoded (OUT may then hold part of it).
namespace media {

inline constexpr const char* kDecodeFlag = "--decode-to-wav";

int decodeToWav(const char* in, const char* out);

}  // namespace media
