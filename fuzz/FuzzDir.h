#pragma once

#include <ftw.h>
#include <QDir>
#include <QString>

#include <cstdio>
#include <cstdlib>

// Removes a folder and everything in it by the names' bytes (QDir cannot remove a name that is
// not valid UTF-8).
inline void removeTree(const QString& path) {
    ::nftw(
        QFile::encodeName(path).constData(),
        [](const char* name, const struct stat*, int, FTW*) { return std::remove(name); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

// One private temporary folder for the whole fuzzing run, removed at exit.
inline const QString& fuzzDir() {
    static const QString path = [] {
        QByteArray pattern = QDir::tempPath().toUtf8() + "/tollvane-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern.data());
        if (made == nullptr) {
            std::abort();
        }
        return QString::fromUtf8(made);
    }();
    static const struct Cleanup {
        ~Cleanup() { removeTree(path); }
    } cleanup;
    return path;
}

inline void writeFile(const QString& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) {
        std::abort();
    }
}

// Fails the run with a message when a property does not hold.
#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (false)
