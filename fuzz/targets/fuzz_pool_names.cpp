// The random-music scan: whatever bytes the file names hold, every tune found is named by a
// path that opens, each once, and every file with a tune's extension is found.
#include <sys/stat.h>

#include <QDir>
#include <QSet>

#include "FuzzDir.h"
#include "core/NativePath.h"
#include "randommusic/MusicPool.h"

namespace {

bool tuneName(const QByteArray& name) {
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0) {
        return false;
    }
    const QByteArray ext = name.mid(dot).toLower();
    return ext == ".mp3" || ext == ".wma" || ext == ".wav" || ext == ".mid";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString folder = fuzzDir() + "/随机音乐";
    removeTree(folder);
    QDir().mkpath(folder);
    const QByteArray folderBytes = nativepath::encode(folder);

    // Names are the input's lines; '/' and NUL cannot be in a name and become '_'.
    QSet<QByteArray> expected;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (QByteArray name : input.split('\n')) {
        name.replace('/', '_').replace('\0', '_');
        name.truncate(255);
        if (name.isEmpty() || name == "." || name == "..") {
            continue;
        }
        const QByteArray full = folderBytes + '/' + name;
        const bool asFolder = name.startsWith('d');  // a folder with a tune's name is no tune
        if (asFolder ? ::mkdir(full.constData(), 0700) != 0 : false) {
            continue;
        }
        if (!asFolder) {
            FILE* f = std::fopen(full.constData(), "wb");
            FUZZ_CHECK(f != nullptr);
            std::fclose(f);
            if (tuneName(name)) {
                expected.insert(name);
            }
        }
    }

    const QStringList pool = randommusic::scanPool(folder);
    QSet<QByteArray> found;
    for (const QString& path : pool) {
        FUZZ_CHECK(nativepath::isFile(path));
        const QByteArray bytes = nativepath::encode(path);
        FUZZ_CHECK(bytes.startsWith(folderBytes + '/'));
        const QByteArray name = bytes.mid(folderBytes.size() + 1);
        FUZZ_CHECK(!found.contains(name));
        found.insert(name);
    }
    if (found != expected) {
        for (const QByteArray& name : expected) {
            std::fprintf(stderr, "expected %s%s\n", name.toHex().constData(),
                         found.contains(name) ? "" : " (not found)");
        }
        for (const QByteArray& name : found) {
            std::fprintf(stderr, "found %s\n", name.toHex().constData());
        }
    }
    FUZZ_CHECK(found == expected);
    return 0;
}
