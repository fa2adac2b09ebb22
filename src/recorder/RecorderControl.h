#pragma once

#include <QString>

class Dialogs;
class EventLog;
class HandlerGuard;
class TForm4;
class TMediaPlayer;

// The recorder: writes the header of the chosen format to Music/<name>.wav, records into it
// through the player and completes it on stop. A bell that takes the player during a recording
// ends it with what was recorded kept; closing the window abandons a recording still running.
class RecorderControl {
  public:
    RecorderControl(TForm4& window, TMediaPlayer& mp1, Dialogs& dialogs, EventLog& log,
                    HandlerGuard& guard, QString programFolder);

    static QString emptyNameText();
    static QString initFailedText();
    static QString errorCaption();
    static QString finishedText();
    static QString infoCaption();
    static QString saveFailedText();
    static QString interruptedText();

    // The file a recording goes to: program folder + "Music/" + the trimmed name + ".wav".
    QString targetFile() const;

    void btn1Click();
    void btn2Click();
    void FormCloseQuery();

  private:
    void idle();
    QString format() const;
    void recordingEnded(bool abandoned);
    void recordingFailed(const QString& reason);

    TForm4& w_;
    TMediaPlayer& mp1_;
    Dialogs& dialogs_;
    EventLog& log_;
    QString folder_;
    QString file_;  // the file of the recording under way, or of the last one
    bool recording_ = false;
    bool ending_ = false;  // the recorder itself is stopping or closing the recording
    bool tuneReported_ = false;
};
