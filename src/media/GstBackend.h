#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "media/DecodedSounds.h"
#include "media/SoundPipeline.h"
#include "media/TMediaPlayer.h"
#include "media/WavCapture.h"

typedef struct _GstMessage GstMessage;
class QTimer;

// The player's back end on GStreamer, playing to the computer's audio output or to the bin
// described by TOLLVANE_AUDIO_SINK (for example "fakesink sync=true"). MIDI files are synthesised
// by the program's one fluidsynth synthesiser (MidiSynth) with a General MIDI soundfont (see
// media::findSoundfont), which loads the samples of the instruments a file plays only.
// openRecording() takes a WAV file that holds only its header (made by CreateWav) and records into
// it (WavCapture).
//
// No call holds the GUI thread for long: open() waits at most kOpenWaitMs, then the file goes on
// getting ready by itself and a later failure is reported through playbackFailed. A file that
// prepare() named is made ready in a second pipeline while the first plays on, so opening it
// later only swaps the two. Given DecodedSounds, a WMA file plays from its decoded copy once the
// helper has made it, so FFmpeg is not loaded into the program.
class GstBackend : public PlayerBackend {
  public:
    // `openWaitMs`: how long open() waits for a file to be ready (tests use 0).
    explicit GstBackend(int openWaitMs = kOpenWaitMs,
                        std::unique_ptr<DecodedSounds> decoded = nullptr);
    ~GstBackend() override;
    GstBackend(const GstBackend&) = delete;
    GstBackend& operator=(const GstBackend&) = delete;

    void open(const QString& file, TMPDeviceTypes type) override;
    void openRecording(const QString& file) override;
    void close() override;
    void play() override;
    void stop() override;
    void rewind() override;
    void startRecording() override;
    void save(const QString& file) override;
    qint64 positionMs() override;
    qint64 lengthMs() override;
    bool playing() const override { return playing_; }
    bool recording() const override;
    void prepare(const QString& file, TMPDeviceTypes type) override;
    void dropPrepared() override;

    // How long open() waits for a file to be ready before it lets it finish on its own, and how
    // long a file may then take before it is given up.
    static constexpr int kOpenWaitMs = 80;
    static constexpr int kNoDataMs = 5000;

  private:
    bool recordingTarget() const { return !recordTarget_.isEmpty(); }
    void handle(SoundPipeline& pipeline, GstMessage* message);
    // A free pipeline of the kind the device type needs.
    SoundPipeline& freePipeline(TMPDeviceTypes type, const QString& file);
    // The active file became ready: its length, and whether it plays into a real output.
    void becameReady();
    // The active file failed after open() returned: said once, and its playback ends.
    void fail(const QString& reason, const QString& detail = {});
    void checkNoData();
    // The file a pipeline reads for `file`: a decoded copy, or the file itself.
    QString source(const QString& file);
    // A file whose copy the helper has just made, or failed to make.
    void copyEnded(const QString& file);

    std::unique_ptr<SoundPipeline> pipelines_[4];  // two of each kind: one plays, one waits
    SoundPipeline* active_ = nullptr;
    QString activeFile_;  // the file open() was given
    SoundPipeline* standby_ = nullptr;
    int openWaitMs_;
    std::unique_ptr<DecodedSounds> decoded_;
    struct Awaited {
        QString file;
        TMPDeviceTypes type;
    };
    std::optional<Awaited> awaitingCopy_;  // prepared once the helper has decoded it
    QTimer* noData_ = nullptr;
    bool playing_ = false;
    bool atEnd_ = false;
    bool ready_ = false;
    bool failed_ = false;
    qint64 length_ = -1;
    std::optional<bool> silent_;  // what the output was at the last ready file
    // A file made for recording into is opened without playback; the capture fills it.
    QString recordTarget_;
    std::optional<media::WavFormat> recordFormat_;  // set with recordTarget_
    std::unique_ptr<WavCapture> capture_;
    bool recorded_ = false;
};
