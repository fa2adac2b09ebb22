#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "media/TMediaPlayer.h"
#include "media/WavCapture.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

// The player's back end on GStreamer: a playbin that plays to the computer's audio output, or
// to the bin described by TOLLVANE_AUDIO_SINK (for example "fakesink sync=true"). MIDI files are
// synthesised by fluidsynth with a General MIDI soundfont (see media::findSoundfont). A WAV file
// that holds only its header (made by CreateWav) is opened for recording instead (WavCapture).
class GstBackend : public PlayerBackend {
  public:
    GstBackend();
    ~GstBackend() override;
    GstBackend(const GstBackend&) = delete;
    GstBackend& operator=(const GstBackend&) = delete;

    void open(const QString& file, TMPDeviceTypes type) override;
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

  private:
    bool recordingTarget() const { return !recordTarget_.isEmpty(); }
    static int onBusMessage(GstBus* bus, GstMessage* message, void* self);
    void handle(GstMessage* message);
    void waitForState();
    QString takeError();
    void dropEndOfStream();

    struct Unref {
        void operator()(GstElement* element) const;
    };
    std::unique_ptr<GstElement, Unref> playbin_;
    unsigned watch_ = 0;
    bool playing_ = false;
    bool atEnd_ = false;
    qint64 length_ = -1;
    // A file made for recording into is opened without playback; the capture fills it.
    QString recordTarget_;
    std::optional<media::WavFormat> recordFormat_;  // set with recordTarget_
    std::unique_ptr<WavCapture> capture_;
    bool recorded_ = false;
};
