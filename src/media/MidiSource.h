#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <optional>

#include "media/MidiFile.h"

typedef struct _GstElement GstElement;
typedef struct _GstAppSrc GstAppSrc;
class MidiSynth;

// The source of a MIDI pipeline: an appsrc that plays one MIDI file through the shared
// synthesiser (MidiSynth), as stereo 44.1 kHz floats.
//
// The preroll reads the file, pins its instruments (their samples load now, on the streaming
// thread, well before the bell) and gives a moment of silence without touching the synthesiser,
// so a file can be made ready while another MIDI file plays. Only once the pipeline plays does
// the source take the synthesiser and render; it ends the stream after the last event and the
// notes' release. The element owns the source: it lives as long as the element does.
class MidiSource {
  public:
    // A new appsrc element (floating) with its source; `source` points to it.
    static GstElement* make(MidiSource*& source);

    // The file the next preroll reads; only while the pipeline is stopped.
    void setFile(const QString& file);
    // The pipeline is about to play or has paused: only a playing source renders.
    void setPlaying(bool playing) { playing_ = playing; }
    // The pipeline has stopped (READY or NULL): the synthesiser and the file's instruments are
    // let go.
    void stopped();
    // The file's length once the preroll has read it, else -1.
    std::int64_t lengthMs() const { return lengthMs_; }

    ~MidiSource();

  private:
    MidiSource() = default;
    static void onNeedData(GstAppSrc* src, unsigned length, void* self);
    static int onSeekData(GstAppSrc* src, std::uint64_t offset, void* self);
    static void destroy(void* self);
    // Reads and pins the file; false (the element's error posted) when it cannot be played.
    bool begin();
    void push(GstAppSrc* src, bool silent);
    void letGo();

    GstElement* element_ = nullptr;  // not owned: the element owns this
    MidiSynth* synth_ = nullptr;
    QString file_;
    std::optional<midifile::Song> song_;
    bool pinnedSong_ = false;
    std::size_t next_ = 0;    // the next event to send
    std::int64_t frame_ = 0;  // the frame the next buffer starts at
    std::int64_t tailFrames_ = 0;
    bool fresh_ = true;  // the synthesiser must be taken (again) before rendering
    bool ended_ = false;
    std::atomic<bool> playing_{false};
    std::atomic<std::int64_t> lengthMs_{-1};
};
