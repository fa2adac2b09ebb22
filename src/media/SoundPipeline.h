#pragma once

#include <QString>
#include <functional>

#include "media/TMediaPlayer.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;

// One playback pipeline of the GStreamer back end: a playbin for any file, or for MIDI a fixed
// chain (file, parser, fluidsynth, output) whose synthesiser stays open between files, so its
// soundfont is loaded once for the pipeline's life rather than for every file.
//
// Nothing here waits on the caller's thread for longer than it is asked to: load() starts the
// preroll and returns, and a pipeline that has not settled when it is unloaded (a file that
// never gives data) is stopped on a thread of its own while a fresh one takes its place.
class SoundPipeline {
  public:
    enum class Kind { Any, Midi };
    // The kind that plays a file opened with that device type.
    static Kind kindFor(TMPDeviceTypes type) {
        return type == dtSequencer ? Kind::Midi : Kind::Any;
    }
    // Called on the GUI thread for each message the pipeline posts.
    using Handler = std::function<void(SoundPipeline& pipeline, GstMessage* message)>;

    // Throws EMCIDeviceError naming the element this computer's GStreamer lacks.
    SoundPipeline(Kind kind, Handler handler);
    ~SoundPipeline();
    SoundPipeline(const SoundPipeline&) = delete;
    SoundPipeline& operator=(const SoundPipeline&) = delete;

    Kind kind() const { return kind_; }
    GstElement* element() const { return element_; }
    // The file loaded, empty when none.
    const QString& file() const { return file_; }

    // Loads the file and starts prerolling it; throws EMCIDeviceError when it cannot even start.
    void load(const QString& file);
    // Gives the file up; the pipeline is ready for another.
    void unload();
    // Waits up to `ms` for the preroll; true once the pipeline is paused or playing. A failure
    // found meanwhile is in `error`.
    bool settle(int ms);
    // True once the preroll is done (never waits).
    bool settled() const;

    // The first error the pipeline posted since its file was loaded (what is missing, when
    // GStreamer said a plug-in is), and GStreamer's debug text for it.
    QString error;
    QString errorDetail;

    // Waits for the pipelines being stopped away from the caller (at the player's end).
    static void joinStopping();

    // True when the pipeline plays into the automatic output's silent stand-in, which
    // GStreamer picks when no audio device can be opened.
    bool silentOutput() const;

  private:
    void build();
    void retire();
    static int onBusMessage(GstBus* bus, GstMessage* message, void* self);
    // Keeps the first error a message carries.
    void noteError(GstMessage* message);
    // Reads the errors waiting on the bus at once; `error` is set afterwards.
    void takeErrors();

    Kind kind_;
    Handler handler_;
    GstElement* element_ = nullptr;  // owned
    GstElement* source_ = nullptr;   // the MIDI chain's file source, owned by element_
    unsigned watch_ = 0;
    QString file_;
    QString missing_;  // what a missing-plugin message said since the file was loaded
};
