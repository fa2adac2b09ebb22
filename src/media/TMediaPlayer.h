#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "core/AppError.h"

// Raised by the player: a closed device, or the platform's refusal of a file.
class EMCIDeviceError : public AppError {
  public:
    using AppError::AppError;
};

enum TMPDeviceTypes { dtAutoSelect, dtSequencer };

// Player modes in their numeric order.
enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

// Text shown for each mode.
QString ModeText(int mode);

// What a platform's audio back end does for the player. Every call but open() is made only
// while a file is open. The back end calls endOfStream() when playback has run to the end.
class PlayerBackend {
  public:
    virtual ~PlayerBackend() = default;
    // Opens the file, ready to play from its start; throws EMCIDeviceError with the platform's
    // text on failure, leaving nothing open.
    virtual void open(const QString& file, TMPDeviceTypes type) = 0;
    // Opens a WAV file that holds only its header (see CreateWav) to record into; throws
    // EMCIDeviceError when the file is not one, leaving nothing open.
    virtual void openRecording(const QString& file) = 0;
    virtual void close() = 0;
    virtual void play() = 0;  // from the current position, returns at once
    virtual void stop() = 0;  // keeps the position
    virtual void rewind() = 0;
    virtual void startRecording() = 0;
    virtual void save(const QString& file) = 0;
    virtual qint64 positionMs() = 0;
    virtual qint64 lengthMs() = 0;
    virtual bool playing() const = 0;
    virtual bool recording() const = 0;

    // Makes the file ready to play in the background, so that opening it later is quick; what
    // plays now goes on. A back end may do nothing here.
    virtual void prepare(const QString& /*file*/, TMPDeviceTypes /*type*/) {}
    // Gives up the file that prepare() named.
    virtual void dropPrepared() {}

    std::function<void()> endOfStream;
    // The back end calls this when a recording's input failed after it had started.
    std::function<void(const QString& reason)> recordingFailed;
    // The input's loudest sample of the last tenth of a second while recording, in dB (0 is
    // full scale); called on the GUI thread.
    std::function<void(double peakDb)> recordingLevel;
    // The sound in `file` failed after open() had returned (damaged past its start, no data in
    // time, the device gone); the playback has ended. `detail` is the platform's debug text.
    std::function<void(const QString& file, const QString& reason, const QString& detail)>
        playbackFailed;
    // The audio output went missing (false: sound goes nowhere) or came back (true).
    std::function<void(bool available)> outputChanged;
};

// The program's one media player. The notification contract lives here, above the back ends:
// each Play is answered by one notification when that playback ends (run to the end, stopped,
// closed or replaced); an armed Notify is consumed by the next command, which answers with one
// notification of its own; notifications are delivered queued, after the issuing handler has
// returned, one at a time and in order.
class TMediaPlayer : public QObject {
    Q_OBJECT
  public:
    explicit TMediaPlayer(std::unique_ptr<PlayerBackend> backend, QObject* parent = nullptr);
    ~TMediaPlayer() override;

    // The file the player opened last (for playback or recording).
    const QString& FileName() const { return file_; }
    bool AutoRewind = true;
    // The one-shot request: set true to have the next command notify its completion.
    bool Notify = false;

    bool isOpen() const { return open_; }

    // Opens a sound to play with the device type it needs (dtSequencer for MIDI).
    void Open(const QString& file, TMPDeviceTypes type = dtAutoSelect);
    // Opens a WAV file that holds only its header to record into (StartRecording, Save).
    void OpenRecording(const QString& file);
    void Close();
    // Gets a file ready for a later Open() of it (same file and device type) while the
    // current sound plays on; DropPrepared() gives it up.
    void Prepare(const QString& file, TMPDeviceTypes type);
    void DropPrepared();
    // The file that Prepare() named and that no Open() has taken yet.
    const QString& prepared() const { return prepared_; }
    // True while the last ready file played into no audio output.
    bool outputMissing() const { return outputMissing_; }
    void Play();
    void Stop();
    void StartRecording();
    void Save();
    qint64 Position();
    qint64 Length();
    int Mode();

  signals:
    void OnNotify();
    // A recording ended: stopped (its file complete) or, with `abandoned`, closed unsaved.
    void RecordingEnded(bool abandoned);
    // The sound input failed during a recording; what came before is kept.
    void RecordingFailed(const QString& reason);
    // How loud the input is while recording (dB, 0 is full scale), a few times a second.
    void RecordingLevel(double peakDb);
    // The sound in `file` failed while it played or got ready.
    void PlaybackFailed(const QString& file, const QString& reason, const QString& detail);
    // The audio output went missing or came back.
    void OutputChanged(bool available);

  private:
    void requireOpen() const;
    // Ends a pending play notification (the sound was stopped, closed or replaced).
    void endPlayback();
    // Takes the armed request, if any; the command notifies once it has completed.
    bool takeRequest();
    // A command on the open device: ends a pending play if it stops playback, takes an armed
    // request, runs, then notifies for that request.
    void command(bool endsPlayback, const std::function<void()>& operation);
    void deliver();
    void onEndOfStream();
    // Closes what is open, then opens through `operation`.
    void openWith(const QString& file, const std::function<void()>& operation);

    std::unique_ptr<PlayerBackend> backend_;
    bool open_ = false;
    bool playPending_ = false;
    bool outputMissing_ = false;
    QString prepared_;
    QString file_;
};
