#pragma once

#include <QString>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "media/MidiFile.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;

// The program's one MIDI synthesiser (fluidsynth), shared by every MIDI pipeline: made at the
// first MIDI file with the soundfont media::findSoundfont() names, kept for the program's life.
//
// The soundfont's samples are loaded only for the instruments a file plays: a pipeline pins its
// file's instruments while it holds the file (the loading happens then, on its streaming thread,
// ahead of the bell) and lets them go when the file is given up; the synthesiser frees the
// samples no pinned or sounding instrument needs. One pipeline at a time renders: the one that
// plays takes the synthesiser, ending what another left sounding.
class MidiSynth {
  public:
    using Instruments = std::set<std::pair<int, int>>;  // (bank, program)
    static constexpr int kRate = 44100;

    // The synthesiser, made on the first call; null when it cannot be made, with the reason in
    // `error`. Safe to call from any thread.
    static MidiSynth* shared(QString* error = nullptr);
    // How many synthesisers the program made (one at most, whatever the pipelines).
    static int made();

    void pin(const Instruments& instruments);
    void unpin(const Instruments& instruments);
    // How many instruments are pinned now.
    int pinned();

    // Makes `owner` the one that renders; the sounds of the last owner end, the channels start
    // afresh: controllers reset, channel N plays program 0 when bit N of `defaults` is set (a
    // file that sounds a note there before choosing an instrument), else nothing until chosen.
    void take(const void* owner, std::uint16_t defaults);
    bool owns(const void* owner);
    // Ends `owner`'s sounds and unsets every channel's instrument, so no sample stays loaded for
    // it; nothing when another owns the synthesiser.
    void release(const void* owner);

    // For the owner only: a channel message, then `frames` stereo frames of interleaved floats.
    void send(const midifile::Event& event);
    void render(float* interleaved, int frames);
    int activeVoices();

  private:
    MidiSynth() = default;
    bool open(const QString& soundfont, QString* error);
    void resetChannels(std::uint16_t defaults);

    std::mutex mutex_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    int font_ = -1;
    const void* owner_ = nullptr;
    std::map<std::pair<int, int>, int> pins_;  // how many holders each pinned instrument has
};
