// TOLLVANE_NOW: any text either names no start time or a valid one that the clock runs from.
#include "FuzzDir.h"
#include "core/Clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto start = SystemClock::parseStart(text);
    if (!start) {
        return 0;
    }
    FUZZ_CHECK(start->isValid());
    const QDateTime now = SystemClock(*start).now();
    FUZZ_CHECK(now.isValid());
    FUZZ_CHECK(std::llabs(start->msecsTo(now)) < 60 * 60 * 1000);
    return 0;
}
