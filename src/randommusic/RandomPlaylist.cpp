#include "randommusic/RandomPlaylist.h"

#include "core/IniFile.h"
#include "core/SettingsKeys.h"
#include "randommusic/MusicPool.h"

RandomPlaylist::RandomPlaylist(QString folder, IniFile& settings, OrderSource order)
    : folder_(std::move(folder)),
      settings_(settings),
      order_(order ? std::move(order)
                   : OrderSource([](int n) { return randommusic::RandomOrder(n); })) {}

void RandomPlaylist::Rebuild() {
    // The scan processes no events, so nothing can run in between and see a half-built pool.
    pool_ = randommusic::scanPool(folder_);
    drawCount_ =
        std::min(settings_.readInteger(settings::kSet, settings::kMusicCount, 4), kMaxCount);
    const std::vector<int> order =
        drawCount_ > pool_.size() ? std::vector<int>() : order_(static_cast<int>(pool_.size()));
    playlist_ = randommusic::drawPlaylist(pool_, drawCount_, order);
    PlayIndex = kNoPlaylist;
    emit rebuilt();
}
