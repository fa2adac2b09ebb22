#pragma once

#include <QObject>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

class IniFile;

// The random music: the pool of tunes in the folder "随机音乐", the playlist drawn from it, and
// the cursor of a playlist in progress. The ring, test play and the playlist's continuation use
// it; the random-music window only shows it.
class RandomPlaylist : public QObject {
    Q_OBJECT
  public:
    using OrderSource = std::function<std::vector<int>(int n)>;

    // Largest number of tunes in one draw; a larger stored count is used as this.
    static constexpr int kMaxCount = 10;
    // What the program says when the folder holds no tunes to draw from.
    static QString emptyFolderText() { return QStringLiteral("随机音乐文件夹里没有音乐"); }
    // PlayIndex when no playlist is in progress.
    static constexpr std::uint16_t kNoPlaylist = 20;

    // `folder` is the random-music folder; `order` draws the permutation (fresh each call).
    RandomPlaylist(QString folder, IniFile& settings, OrderSource order = {});

    // A scan of the folder and a playlist drawn from it.
    struct Draw {
        QStringList pool;
        QStringList playlist;
        int count = 0;  // the size the draw asked for
    };

    // Scans the folder again and draws a new playlist of the stored size; no playlist is then in
    // progress. Emits rebuilt() once pool and playlist are complete.
    void Rebuild() { adopt(drawAhead()); }
    // Scans and draws as Rebuild() does, leaving the playlist shown and in progress alone, so a
    // coming ring's playlist can be ready before the ring.
    Draw drawAhead() const;
    // Makes the draw the pool and playlist, as Rebuild() does with its own.
    void adopt(Draw draw);

    const QStringList& pool() const { return pool_; }
    const QStringList& playlist() const { return playlist_; }
    // The size the last draw asked for (the stored count, at most kMaxCount).
    int drawCount() const { return drawCount_; }

    // Index of the next playlist entry to play; kNoPlaylist when no playlist is in progress.
    std::uint16_t PlayIndex = kNoPlaylist;

  signals:
    void rebuilt();

  private:
    QString folder_;
    IniFile& settings_;
    OrderSource order_;
    QStringList pool_;
    QStringList playlist_;
    int drawCount_ = 0;
};
