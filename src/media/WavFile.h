#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// The recorder's WAV files: a 44-byte PCM header (RIFF, "fmt " and "data" chunks) and the
// samples after it, nothing else.
namespace media {

struct WavFormat {
    int channels = 2;  // 1 or 2
    int bits = 16;     // 8 (unsigned) or 16 (signed little-endian)
    int rate = 44100;  // samples per second
    int blockAlign() const { return channels * (bits / 8); }
    int byteRate() const { return channels * rate * (bits / 8); }
};

// The 44 bytes of the header for `format` with `dataBytes` of samples.
QByteArray wavHeader(const WavFormat& format, std::uint32_t dataBytes);

// The format of a file made by CreateWav (or any 44-byte-header PCM file); nothing when the
// file is not one.
std::optional<WavFormat> readWavFormat(const QString& file);
// The format of a file that is such a header with no samples yet (a file made for recording
// into); nothing for any other file.
std::optional<WavFormat> emptyRecordingFormat(const QString& file);

// After a recording: drops a partial last frame and writes the RIFF and data sizes that match
// the samples in the file. Throws AppError naming the file when it cannot.
void finishWav(const QString& file, const WavFormat& format);
// Cuts the file back to its header (a recording that was abandoned).
void truncateToHeader(const QString& file);

}  // namespace media

// Creates (or replaces) the file with the header for an empty recording in that format.
// Throws AppError naming the file when it cannot be written.
void CreateWav(std::uint16_t channels, std::uint16_t bits, std::int32_t rate, const QString& file);
