#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "media/TMediaPlayer.h"
#include "randommusic/RandomPlaylist.h"
#include "schedule/ScheduleRow.h"

class BellState;
class EventLog;
class RandomPlaylist;
class ScheduleTable;

// Playback on the main window: the one path that starts a row's sound (used by the ring, by test
// play and by a playlist's continuation), the stop and test-play buttons, and the player's
// notification handler with its mode text.
class PlaybackControl {
  public:
    // What starting a row's sound came to.
    enum class Start {
        Played,         // the file, or the first tune of a fresh playlist, is playing
        MissingFile,    // the file does not exist (shown and logged)
        EmptyPlaylist,  // a random-music row with no tunes drawn (see emptyPlaylistText)
    };

    PlaybackControl(TMediaPlayer& mp1, ScheduleTable& table, RandomPlaylist& music,
                    BellState& state, EventLog& log, QString programFolder);

    // Stops what plays and starts the row's sound: its file, or for a random-music row the first
    // tune of a freshly drawn playlist, which later idle ticks continue (see PlayNextTune).
    // For a file the playlist cursor becomes `fileIndex`.
    // A row that PrepareRow() got ready is started from what was made ready.
    Start PlayRow(const ScheduleRow& row, std::uint16_t fileIndex = RandomPlaylist::kNoPlaylist);
    // Gets the sound of a row about to ring ready while the current sound plays on: its file,
    // or the first tune of the playlist drawn now for it, so the ring only has to start it.
    void PrepareRow(const ScheduleRow& row);
    // Gives up what PrepareRow() got ready (test play, another table, ringing switched off).
    void DropPrepared();
    // The table was read again: true when the row made ready is among `rows` as it was (it then
    // rings from what was made ready, under its new id); false when nothing was made ready or
    // its row is gone or changed.
    bool KeepPrepared(const std::vector<ScheduleRow>& rows);
    // A sound failed while it played or got ready: said on the window and in the log (with
    // the platform's debug text).
    void PlaybackFailed(const QString& file, const QString& reason, const QString& detail = {});
    // Plays the next tune of the playlist in progress; false when there is none to play now.
    bool PlayNextTune(const ScheduleRow& row, bool ringsToday);
    // Stops the player and ends any random playlist.
    void StopPlayback();
    // Stops the player before a new sound; a player that was never opened has nothing to stop.
    void StopBeforeNewSound();

    void btn3Click();
    void btn6Click();
    void mp1Notify();

    // A sound field as a file name: a relative path is taken under the program folder.
    QString resolve(const QString& field) const;
    // dtSequencer for a field whose extension is .mid (any case), else dtAutoSelect.
    static TMPDeviceTypes deviceTypeFor(const QString& field);
    static QString missingFileText();
    static QString failedText(const QString& file, const QString& reason);
    // Why the last draw came out empty: no tunes in the folder, or a draw size of 0.
    QString emptyPlaylistText() const;
    // Why a random-music row has nothing to play, for the hint line.
    QString nothingToDrawText() const;
    // True when the row made ready is a random-music row whose draw came out empty.
    bool preparedDrawIsEmpty() const;

    // The row whose ring or test play started the sound now playing; a random playlist goes on
    // under this row, whatever row is current later.
    std::optional<ScheduleRow> playlistRow;

  private:
    // False (with the message and a log line) when no such file exists.
    bool fileExists(const QString& path);
    // Opens the file with the device type that the row's sound field names, and plays. A file
    // that cannot be opened is raised naming it, and said in the hint line.
    void startSound(const ScheduleRow& row, const QString& file);

    struct Prepared {
        ScheduleRow row;
        std::optional<RandomPlaylist::Draw> draw;  // for a random-music row
    };
    std::optional<Prepared> prepared_;

    TMediaPlayer& mp1_;
    ScheduleTable& table_;
    RandomPlaylist& music_;
    BellState& state_;
    EventLog& log_;
    QString folder_;
};
