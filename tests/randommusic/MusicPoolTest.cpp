#include "randommusic/MusicPool.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <QDir>

#include <map>
#include <set>

#include "TempDir.h"
#include "core/NativePath.h"

namespace {

using randommusic::scanPool;

void touch(const QString& path) {
    const int fd = ::open(nativepath::encode(path).constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0) << path.toStdString();
    ::close(fd);
}

QStringList names(const QStringList& pool) {
    QStringList out;
    for (const QString& p : pool) {
        out << p.section('/', -1);
    }
    return out;
}

TEST(MusicPoolTest, PassesInOrderWithNamesSortedWithinEach) {
    TempDir dir;
    for (const char* name : {"z.mid", "b.wav", "c.wma", "b.mp3", "a.MP3", "a.wav", "y.Mp3"}) {
        touch(dir.file(QString::fromUtf8(name)));
    }
    EXPECT_EQ(names(scanPool(dir.path())),
              (QStringList{"a.MP3", "b.mp3", "y.Mp3", "c.wma", "a.wav", "b.wav", "z.mid"}));
    EXPECT_TRUE(scanPool(dir.path()).front().startsWith(dir.path() + "/"));
}

TEST(MusicPoolTest, ExtensionMustMatchExactlyAndOnlyFilesAreTaken) {
    TempDir dir;
    for (const char* name :
         {"c.mp", "d.m", "noext", "e.mp3.txt", "f.mp33", ".hidden.mp3", "g.midi"}) {
        touch(dir.file(QString::fromUtf8(name)));
    }
    touch(dir.file("readonly.wav"));
    ::chmod(nativepath::encode(dir.file("readonly.wav")).constData(), 0444);
    QDir(dir.path()).mkpath("sub.mp3");
    QDir(dir.path()).mkpath("sub");
    touch(dir.file("sub/inner.mp3"));
    ::symlink("readonly.wav", nativepath::encode(dir.file("link.wav")).constData());
    EXPECT_EQ(names(scanPool(dir.path())),
              (QStringList{".hidden.mp3", "link.wav", "readonly.wav"}));
}

TEST(MusicPoolTest, NamesWithSpacesChineseAndInvalidBytesAreKeptExactly) {
    TempDir dir;
    const QByteArray invalid = QByteArray("bad\xff\xfe name.mp3");
    touch(dir.file(QStringLiteral("上课 铃声.mp3")));
    touch(QString::fromUtf8(QFile::encodeName(dir.path())) + "/" + nativepath::decode(invalid));
    const QStringList pool = scanPool(dir.path());
    ASSERT_EQ(pool.size(), 2);
    EXPECT_TRUE(nativepath::encode(pool[0]).endsWith(invalid));
    EXPECT_TRUE(nativepath::isFile(pool[0]));
    EXPECT_EQ(pool[1], dir.file(QStringLiteral("上课 铃声.mp3")));
    EXPECT_TRUE(nativepath::isFile(pool[1]));
}

TEST(MusicPoolTest, MissingFolderIsAnEmptyPool) {
    EXPECT_TRUE(scanPool("/no/such/folder/随机音乐").isEmpty());
}

TEST(NativePathTest, RoundTripsAnyBytes) {
    QByteArray all;
    for (int i = 1; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    for (const QByteArray& bytes :
         {all, QByteArray("plain"), QByteArray("随机音乐/上课.mp3"),
          QByteArray("\xC0\x80 overlong"), QByteArray("\xED\xA0\x80 surrogate"),
          QByteArray("cut \xE4\xB8"), QByteArray("😀 emoji")}) {
        EXPECT_EQ(nativepath::encode(nativepath::decode(bytes)), bytes);
    }
    EXPECT_EQ(nativepath::decode("随机音乐"), QStringLiteral("随机音乐"));
}

TEST(RandomOrderTest, IsAPermutationAndFreshDrawsDiffer) {
    for (int n : {0, 1, 2, 10, 500}) {
        std::vector<int> order = randommusic::RandomOrder(n);
        std::sort(order.begin(), order.end());
        for (int i = 0; i < n; ++i) {
            EXPECT_EQ(order[static_cast<size_t>(i)], i + 1);
        }
    }
    std::set<std::vector<int>> seen;
    for (int i = 0; i < 20; ++i) {
        seen.insert(randommusic::RandomOrder(50));
    }
    EXPECT_GT(seen.size(), 15u);
}

TEST(RandomOrderTest, IsUniform) {
    // Every one of the 24 orders of 4 should turn up about 24000 / 24 = 1000 times. With fixed
    // seeds the result is repeatable; the bound (chi-square, 23 degrees of freedom, p < 0.001
    // is 49.7) catches a biased shuffle such as a naive swap with any position.
    std::map<std::vector<int>, int> counts;
    for (std::uint64_t seed = 1; seed <= 24000; ++seed) {
        ++counts[randommusic::RandomOrder(4, seed * 2654435761u)];
    }
    ASSERT_EQ(counts.size(), 24u);
    double chi = 0;
    for (const auto& [order, count] : counts) {
        chi += (count - 1000.0) * (count - 1000.0) / 1000.0;
    }
    EXPECT_LT(chi, 49.7);

    // Each position of a draw of 3 from 12 takes each tune equally often.
    std::vector<std::vector<int>> position(3, std::vector<int>(13));
    for (std::uint64_t seed = 1; seed <= 12000; ++seed) {
        const auto order = randommusic::RandomOrder(12, seed);
        for (size_t p = 0; p < 3; ++p) {
            ++position[p][static_cast<size_t>(order[p])];
        }
    }
    for (size_t p = 0; p < 3; ++p) {
        for (int t = 1; t <= 12; ++t) {
            EXPECT_NEAR(position[p][static_cast<size_t>(t)], 1000, 150);
        }
    }
}

TEST(DrawPlaylistTest, DistinctTunesOrTheWholePoolInOrder) {
    const QStringList pool{"a", "b", "c", "d", "e"};
    EXPECT_EQ(randommusic::drawPlaylist(pool, 3, {5, 1, 3, 2, 4}), (QStringList{"e", "a", "c"}));
    EXPECT_EQ(randommusic::drawPlaylist(pool, 6, {}), pool);
    EXPECT_TRUE(randommusic::drawPlaylist(pool, 0, {1, 2, 3, 4, 5}).isEmpty());
    EXPECT_TRUE(randommusic::drawPlaylist(pool, -2, {1, 2, 3, 4, 5}).isEmpty());
    EXPECT_TRUE(randommusic::drawPlaylist({}, 0, {}).isEmpty());
}

}  // namespace
