#include "randommusic/RandomPlaylist.h"

#include "core/IniFile.h"
#include "core/SettingsKeys.h"
#include "randommusic/MusicPool.h"

RandomPlaylist::RandomPlaylist(QString folder, IniFile& settings, OrderSource order)
    : folder_(std::move(folder)),
      settings_(settings),
      order_(order ? std::move(order)
                   : OrderSource([](int n) { return randommusic::RandomOrder(n); })) {}

RandomPlaylist::Draw RandomPlaylist::drawAhead() const {
    // The scan processes no events, so nothing can run in between and see a half-built pool.
    Draw draw;
    draw.pool = randommusic::scanPool(folder_);
    draw.count =
        std::min(settings_.readInteger(settings::kSet, settings::kMusicCount, 4), kMaxCount);
    const std::vector<int> order = draw.count > draw.pool.size()
                                       ? std::vector<int>()
                                       : order_(static_cast<int>(draw.pool.size()));
    draw.playlist = randommusic::drawPlaylist(draw.pool, draw.count, order);
    return draw;
}

void RandomPlaylist::adopt(Draw draw) {
    pool_ = std::move(draw.pool);
    playlist_ = std::move(draw.playlist);
    drawCount_ = draw.count;
    PlayIndex = kNoPlaylist;
    emit rebuilt();
}
