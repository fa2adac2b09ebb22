#pragma once

#include <QString>

class Dialogs;
class EventLog;
class HandlerGuard;
class TForm4;
class TMediaPlayer;

// The recorder: records through the player into "Music/<name>.wav.recording" (a WAV file of the
// chosen format) and, when the recording stops with sound in it, renames that over
// Music/<name>.wav in one step. A recording that fails, holds no sound or is given up (the window
// closed) replaces nothing. Replacing an existing file is asked first. A bell that takes the
// player during a recording ends it with what was recorded kept.
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
    static QString replaceText();  // %1: the file
    static QString noSoundText();
    static QString checkInputText();          // what to check when the input cannot record
    static QString recordingText(qint64 ms);  // "正在录音 mm:ss"
    // The file a recording into `target` is written to until it is kept.
    static QString partFile(const QString& target);

    // The file a recording goes to: program folder + "Music/" + the trimmed name + ".wav".
    QString targetFile() const;

    void btn1Click();
    void btn2Click();
    void FormCloseQuery();

  private:
    void idle();
    void showRecording(bool on);
    void showLevel(double peakDb);
    // Renames the recording over its target; raises AppError (and removes it) when it holds no
    // sound or cannot be renamed.
    void keepPart();
    void discardPart();
    QString format() const;
    void recordingEnded(bool abandoned);
    void recordingFailed(const QString& reason);

    TForm4& w_;
    TMediaPlayer& mp1_;
    Dialogs& dialogs_;
    EventLog& log_;
    QString folder_;
    QString file_;  // the file of the recording under way, or of the last one
    QString part_;  // the file being recorded into, until it is kept or removed
    bool recording_ = false;
    bool ending_ = false;  // the recorder itself is stopping or closing the recording
    bool tuneReported_ = false;
};
