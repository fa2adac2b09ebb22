// The recorder's WAV reader: any file is either refused or read as a format whose figures make
// sense, and finishing such a file leaves a file that reads back with the same format.
#include <QFile>

#include "FuzzDir.h"
#include "core/AppError.h"
#include "media/WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzzDir() + "/take.wav";
    writeFile(path, data, size);
    (void)media::emptyRecordingFormat(path);
    const auto format = media::readWavFormat(path);
    if (!format) {
        return 0;
    }
    FUZZ_CHECK(format->blockAlign() > 0 && format->byteRate() > 0);
    media::finishWav(path, *format);
    const auto again = media::readWavFormat(path);
    FUZZ_CHECK(again && again->channels == format->channels && again->bits == format->bits &&
               again->rate == format->rate);
    FUZZ_CHECK((QFile(path).size() - 44) % format->blockAlign() == 0);
    return 0;
}
