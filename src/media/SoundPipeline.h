#pragma once

#include <QString>
#include <functional>

#include "media/TMediaPlayer.h"

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;
typedef struct _GstMessage GstMessage;
class MidiSource;

// One playback pipeline of the GStreamer back end: a playbin for any file, or for MIDI a fixed
// chain (MidiSource, which plays through the program's one synthesiser, then the output). The
// output asks the sound server for a short buffer (kBufferUs), so a bell is heard without the
// 200 ms GStreamer's audio sinks keep by default.
//
// Nothing here waits on the caller's thread for longer than it is asked to: load() starts the
// preroll and returns, and a pipeline that has not settled when it is unloaded (a file that
// never gives data) is stopped on a thread of its own while a fresh one takes its place.
class SoundPipeline {
  public:
    enum class Kind { Any, Midi };
    // The kind that plays a file opened with that device type: MIDI for the sequencer, and for
    // a MIDI file whatever the type (a random-music tune), so no second synthesiser is made.
    static Kind kindFor(TMPDeviceTypes type, const QString& file);

    // What the output asks of the sound server: its buffer, and the part written at a time.
    static constexpr qint64 kBufferUs = 40000;
    static constexpr qint64 kLatencyUs = 10000;
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
    // Gives a prepared file a new connection to the sound server before it plays; what was read,
    // decoded or loaded stays. A sound server counts the time an output waited paused as
    // played, so a bell prepared ten seconds ahead would start ten seconds late.
    void freshOutput();
    // Said before the pipeline is set playing and when it pauses (a MIDI file renders only
    // while it plays).
    void setPlaying(bool playing);
    // Waits up to `ms` for the preroll; true once the pipeline is paused or playing. A failure
    // found meanwhile is in `error`.
    bool settle(int ms);
    // True once the preroll is done (never waits).
    bool settled() const;
    // The file's length in ms, -1 while it is not known.
    qint64 lengthMs() const;

    // The first error the pipeline posted since its file was loaded (what is missing, when
    // GStreamer said a plug-in is), and GStreamer's debug text for it.
    QString error;
    QString errorDetail;

    // Waits for the pipelines being stopped away from the caller (at the player's end).
    static void joinStopping();
    // Returns the memory a finished sound freed to the system, away from the caller.
    static void giveBackMemory();

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
    MidiSource* midi_ = nullptr;     // the MIDI chain's source, owned by its element
    GstElement* sink_ = nullptr;     // the output, owned by the element
    unsigned watch_ = 0;
    QString file_;
    QString missing_;  // what a missing-plugin message said since the file was loaded
};
