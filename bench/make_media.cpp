// Writes short test sounds of each format into a folder, for the benchmark scripts:
// bell.wav, bell.mp3, bell.wma, bell.mid and four tunes in 随机音乐/.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "media/TestMedia.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_make_media <program folder> [milliseconds]\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const int ms = argc > 2 ? std::atoi(argv[2]) : 2000;
    root.mkpath("Music");
    root.mkpath(QStringLiteral("随机音乐"));
    testmedia::writeWav(root.filePath("Music/bell.wav"), ms);
    testmedia::writeMidi(root.filePath("Music/bell.mid"), ms);
    bool ok = testmedia::encode(root.filePath("Music/bell.mp3"), "mp3", ms) &&
              testmedia::encode(root.filePath("Music/bell.wma"), "wma", ms);
    for (int i = 0; i < 4; ++i) {
        ok =
            testmedia::encode(root.filePath(QStringLiteral("随机音乐/%1.mp3").arg(i)), "mp3", ms) &&
            ok;
    }
    return ok ? 0 : 1;
}
