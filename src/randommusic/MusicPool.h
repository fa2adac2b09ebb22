#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace randommusic {

// The tunes of a folder: every regular file (hidden and read-only ones too, subfolders not)
// whose extension is, without regard to case, exactly one of mp3, wma, wav, mid; all mp3 first,
// then wma, wav, mid, each group in name order. Paths are folder + "/" + name, with names that are
// not valid UTF-8 kept byte for byte (see nativepath). A missing or unreadable folder is empty.
QStringList scanPool(const QString& folder);

// A uniform random permutation of 1..n, drawn with a generator seeded from `seed`.
std::vector<int> RandomOrder(int n, std::uint64_t seed);
// The same, seeded afresh from the system's entropy and a high-resolution clock.
std::vector<int> RandomOrder(int n);

// The playlist of a draw of `count` tunes: the whole pool in pool order when count exceeds the
// pool, else the pool entries at the first `count` positions of `order` (1-based positions).
QStringList drawPlaylist(const QStringList& pool, int count, const std::vector<int>& order);

}  // namespace randommusic
