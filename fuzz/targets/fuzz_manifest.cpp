// A bundle's manifest as it comes from a web server or a share: any bytes are read without a
// fault; what is accepted names only paths inside its folder and writes back the same.
#include "FuzzDir.h"
#include "table/Manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString why;
    const std::optional<bundle::Manifest> m = bundle::fromJson(bytes, &why);
    if (!m) {
        FUZZ_CHECK(!why.isEmpty());
        return 0;
    }
    FUZZ_CHECK(bundle::safePath(m->version) && !m->version.contains(QLatin1Char('/')));
    for (const bundle::File& f : m->files) {
        FUZZ_CHECK(bundle::safePath(f.path) && f.size >= 0);
        FUZZ_CHECK(!f.path.split(QLatin1Char('/')).contains(QStringLiteral("..")));
    }
    const std::optional<bundle::Manifest> again = bundle::fromJson(bundle::toJson(*m), &why);
    FUZZ_CHECK(again && again->version == m->version && again->files == m->files);
    return 0;
}
