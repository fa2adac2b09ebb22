#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "media/WavFile.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
typedef struct _GstBuffer GstBuffer;
typedef struct _GstPad GstPad;

// Records from the computer's sound input into a WAV file made by CreateWav: GStreamer captures
// from the default input (autoaudiosrc, or the bin in TOLLVANE_AUDIO_SOURCE), converts to the
// file's format and appends the samples after its header, each buffer as it comes, with the
// header's sizes brought up to date after each one (so a crash or a power cut leaves a valid file
// of all but the last moments); stopping completes the file. GStreamer's level element measures
// the input for the window's meter. Capture
// runs on GStreamer's own threads, so the GUI thread never waits for the device.
class WavCapture {
  public:
    WavCapture(QString file, media::WavFormat format);
    ~WavCapture();
    WavCapture(const WavCapture&) = delete;
    WavCapture& operator=(const WavCapture&) = delete;

    // Starts capturing; throws EMCIDeviceError with the reason when the input cannot start.
    void start();
    // Ends the capture with everything captured so far in the file, and completes the file.
    void stop();
    // Ends the capture and leaves only the header (the recording was abandoned).
    void abandon();

    bool running() const { return running_; }
    // Milliseconds of sound written so far.
    qint64 recordedMs() const;

    // Called on the GUI thread when the input fails after it started (a device that goes away,
    // a sound server that refuses the stream): the capture has then stopped and the file holds
    // what came before.
    std::function<void(const QString& reason)> failed;
    // Called on the GUI thread ten times a second with the loudest sample of that time, in dB.
    std::function<void(double peakDb)> level;

  private:
    static int onBusMessage(GstBus* bus, GstMessage* message, void* self);
    static void onBuffer(GstElement* sink, GstBuffer* buffer, GstPad* pad, void* self);
    bool append(const unsigned char* data, size_t size);
    void halt();

    QString file_;
    media::WavFormat format_;
    GstElement* pipeline_ = nullptr;
    unsigned watch_ = 0;
    int fd_ = -1;  // the file, written on the streaming thread while capturing
    unsigned long long dataBytes_ = 0;
    bool running_ = false;
};
