#include "randommusic/MusicPool.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <numeric>
#include <random>

#include "core/NativePath.h"

namespace randommusic {

namespace {

// Which pass takes a name: 0 mp3, 1 wma, 2 wav, 3 mid; -1 for none.
int passOf(const char* name) {
    const char* dot = std::strrchr(name, '.');
    if (dot == nullptr) {
        return -1;
    }
    static const std::array<const char*, 4> extensions = {".mp3", ".wma", ".wav", ".mid"};
    for (size_t i = 0; i < extensions.size(); ++i) {
        if (::strcasecmp(dot, extensions[i]) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace

QStringList scanPool(const QString& folder) {
    const QByteArray dirPath = nativepath::encode(folder);
    DIR* dir = ::opendir(dirPath.constData());
    if (dir == nullptr) {
        return {};
    }
    std::array<std::vector<QByteArray>, 4> passes;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const int pass = passOf(entry->d_name);
        if (pass < 0) {
            continue;
        }
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st {};
            regular = ::fstatat(fd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular) {
            passes[static_cast<size_t>(pass)].emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);

    QString prefix = folder;
    if (!prefix.endsWith(QLatin1Char('/'))) {
        prefix += QLatin1Char('/');
    }
    QStringList pool;
    for (auto& names : passes) {
        std::sort(names.begin(), names.end());
        for (const QByteArray& name : names) {
            pool << prefix + nativepath::decode(name);
        }
    }
    return pool;
}

std::vector<int> RandomOrder(int n, std::uint64_t seed) {
    std::vector<int> order(static_cast<size_t>(std::max(n, 0)));
    std::iota(order.begin(), order.end(), 1);
    std::mt19937_64 generator(seed);
    std::shuffle(order.begin(), order.end(), generator);
    return order;
}

std::vector<int> RandomOrder(int n) {
    std::random_device entropy;
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    return RandomOrder(n, (static_cast<std::uint64_t>(entropy()) << 32) ^ ticks);
}

QStringList drawPlaylist(const QStringList& pool, int count, const std::vector<int>& order) {
    if (count > pool.size()) {
        return pool;
    }
    QStringList playlist;
    for (int i = 0; i < count && static_cast<size_t>(i) < order.size(); ++i) {
        playlist << pool[order[static_cast<size_t>(i)] - 1];
    }
    return playlist;
}

}  // namespace randommusic
