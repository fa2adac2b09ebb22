#pragma once

#include <QString>
#include <optional>

#include "ringing/TMediaPlayer.h"
#include "schedule/ScheduleRow.h"

class EventLog;
class QLabel;
class ScheduleTable;
class TForm3;

// Playback on the main window: the steps that start a row's sound and stop playback, the stop
// and test-play buttons, and the player's notification handler with its mode text.
class PlaybackControl {
  public:
    PlaybackControl(TMediaPlayer& mp1, ScheduleTable& table, TForm3& form3, QLabel& lbl2,
                    QLabel& lbl3, QLabel& lbl9, EventLog& log, QString programFolder);

    // Opens FileName with the device type that the current row's sound field names, and plays.
    void StartRowSound();
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

    // Sets FileName; false (with the message and a log line) when no such file exists.
    bool chooseFile(const QString& path);

    // The row whose ring or test play started the sound now playing; a random playlist goes on
    // under this row, whatever row is current later.
    std::optional<ScheduleRow> playlistRow;

  private:
    TMediaPlayer& mp1_;
    ScheduleTable& table_;
    TForm3& form3_;
    QLabel& lbl2_;
    QLabel& lbl3_;
    QLabel& lbl9_;
    EventLog& log_;
    QString folder_;
};
