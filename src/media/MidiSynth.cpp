#include "media/MidiSynth.h"

#include <dlfcn.h>
#include <fluidsynth.h>

#include <atomic>

#include "core/NativePath.h"
#include "media/Soundfont.h"

namespace {

constexpr int kChannels = 16;
std::atomic<int> madeCount{0};

void quietLog(int, const char*, void*) {}

// fluidsynth is loaded at the first MIDI file, not at start: it draws in some thirty libraries
// (audio drivers, SDL, sndfile and its codecs) that a program never playing MIDI would hold.
#define TOLLVANE_FLUID_FUNCTIONS(X)       \
    X(delete_fluid_settings)              \
    X(delete_fluid_synth)                 \
    X(fluid_set_log_function)             \
    X(fluid_settings_setint)              \
    X(fluid_settings_setnum)              \
    X(fluid_synth_all_sounds_off)         \
    X(fluid_synth_cc)                     \
    X(fluid_synth_channel_pressure)       \
    X(fluid_synth_get_active_voice_count) \
    X(fluid_synth_key_pressure)           \
    X(fluid_synth_noteoff)                \
    X(fluid_synth_noteon)                 \
    X(fluid_synth_pin_preset)             \
    X(fluid_synth_pitch_bend)             \
    X(fluid_synth_program_change)         \
    X(fluid_synth_sfload)                 \
    X(fluid_synth_unpin_preset)           \
    X(fluid_synth_unset_program)          \
    X(fluid_synth_write_float)            \
    X(new_fluid_settings)                 \
    X(new_fluid_synth)

struct Fluid {
#define TOLLVANE_FLUID_POINTER(name) decltype(&::name) name = nullptr;
    TOLLVANE_FLUID_FUNCTIONS(TOLLVANE_FLUID_POINTER)
#undef TOLLVANE_FLUID_POINTER
};

// The library of fluidsynth 2's interface, by its soname.
constexpr const char* kFluidLibrary = "libfluidsynth.so.3";
const Fluid* fl = nullptr;  // set before the synthesiser is made, never changed afterwards

bool loadFluid(QString* error) {
    void* library = dlopen(kFluidLibrary, RTLD_NOW | RTLD_LOCAL);
    static Fluid loaded;
    bool complete = library != nullptr;
#define TOLLVANE_FLUID_LOOKUP(name)                                                                \
    loaded.name = complete ? reinterpret_cast<decltype(&::name)>(dlsym(library, #name)) : nullptr; \
    complete = complete && loaded.name != nullptr;
    TOLLVANE_FLUID_FUNCTIONS(TOLLVANE_FLUID_LOOKUP)
#undef TOLLVANE_FLUID_LOOKUP
    if (!complete) {
        *error = QStringLiteral("没有找到 MIDI 合成库 %1（请安装 libfluidsynth3）")
                     .arg(QLatin1String(kFluidLibrary));
        return false;
    }
    fl = &loaded;
    return true;
}

}  // namespace

MidiSynth* MidiSynth::shared(QString* error) {
    static std::mutex making;
    static MidiSynth* synth = nullptr;
    static QString failure;
    const std::lock_guard<std::mutex> lock(making);
    if (synth == nullptr && failure.isEmpty()) {
        auto* made = new MidiSynth;
        if (made->open(media::findSoundfont(), &failure)) {
            synth = made;  // kept for the program's life
            ++madeCount;
        } else {
            delete made;
        }
    }
    if (synth == nullptr && error != nullptr) {
        *error = failure;
    }
    return synth;
}

int MidiSynth::made() {
    return madeCount;
}

bool MidiSynth::open(const QString& soundfont, QString* error) {
    if (soundfont.isEmpty()) {
        *error = QStringLiteral(
            "没有找到 MIDI 音色库（请安装 timgm6mb-soundfont 或 fluid-soundfont-gm）");
        return false;
    }
    if (fl == nullptr && !loadFluid(error)) {
        return false;
    }
    // fluidsynth writes its warnings to the terminal; a failure is said by its return values.
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
        fl->fluid_set_log_function(level, quietLog, nullptr);
    }
    settings_ = fl->new_fluid_settings();
    fl->fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    fl->fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
    fl->fluid_settings_setnum(settings_, "synth.gain", 0.2);
    // 128 voices are plenty for a bell or a song; each voice costs memory whether used or not.
    fl->fluid_settings_setint(settings_, "synth.polyphony", 128);
    synth_ = fl->new_fluid_synth(settings_);
    if (synth_ != nullptr) {
        // Not assigned to the channels: an instrument's samples load only when it is chosen.
        font_ = fl->fluid_synth_sfload(synth_, nativepath::encode(soundfont).constData(), 0);
    }
    if (font_ == FLUID_FAILED || synth_ == nullptr) {
        *error = QStringLiteral("MIDI 音色库无法读取：") + soundfont;
        if (synth_ != nullptr) {
            fl->delete_fluid_synth(synth_);
        }
        fl->delete_fluid_settings(settings_);
        synth_ = nullptr;
        settings_ = nullptr;
        return false;
    }
    for (int channel = 0; channel < kChannels; ++channel) {
        fl->fluid_synth_unset_program(synth_, channel);
    }
    return true;
}

void MidiSynth::pin(const Instruments& instruments) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& instrument : instruments) {
        if (pins_[instrument]++ == 0) {
            // An instrument the font lacks is not pinned; the synthesiser's fallback loads then.
            fl->fluid_synth_pin_preset(synth_, font_, instrument.first, instrument.second);
        }
    }
}

void MidiSynth::unpin(const Instruments& instruments) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& instrument : instruments) {
        const auto held = pins_.find(instrument);
        if (held != pins_.end() && --held->second == 0) {
            fl->fluid_synth_unpin_preset(synth_, font_, instrument.first, instrument.second);
            pins_.erase(held);
        }
    }
}

int MidiSynth::pinned() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(pins_.size());
}

void MidiSynth::resetChannels(std::uint16_t defaults) {
    fl->fluid_synth_all_sounds_off(synth_, -1);
    for (int channel = 0; channel < kChannels; ++channel) {
        fl->fluid_synth_cc(synth_, channel, 121, 0);  // reset all controllers
        fl->fluid_synth_cc(synth_, channel, 0, 0);    // bank 0
        fl->fluid_synth_pitch_bend(synth_, channel, 8192);
        if ((defaults >> channel & 1) != 0) {
            fl->fluid_synth_program_change(synth_, channel, 0);
        } else {
            fl->fluid_synth_unset_program(synth_, channel);
        }
    }
}

void MidiSynth::take(const void* owner, std::uint16_t defaults) {
    const std::lock_guard<std::mutex> lock(mutex_);
    owner_ = owner;
    resetChannels(defaults);
}

bool MidiSynth::owns(const void* owner) {
    const std::lock_guard<std::mutex> lock(mutex_);
    return owner_ == owner;
}

void MidiSynth::release(const void* owner) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (owner_ != owner) {
        return;
    }
    owner_ = nullptr;
    resetChannels(0);
}

void MidiSynth::send(const midifile::Event& e) {
    const int channel = e.status & 0x0F;
    switch (e.status & 0xF0) {
        case 0x80:
            fl->fluid_synth_noteoff(synth_, channel, e.data1);
            break;
        case 0x90:
            fl->fluid_synth_noteon(synth_, channel, e.data1, e.data2);
            break;
        case 0xA0:
            fl->fluid_synth_key_pressure(synth_, channel, e.data1, e.data2);
            break;
        case 0xB0:
            fl->fluid_synth_cc(synth_, channel, e.data1, e.data2);
            break;
        case 0xC0:
            fl->fluid_synth_program_change(synth_, channel, e.data1);
            break;
        case 0xD0:
            fl->fluid_synth_channel_pressure(synth_, channel, e.data1);
            break;
        case 0xE0:
            fl->fluid_synth_pitch_bend(synth_, channel, e.data1 | e.data2 << 7);
            break;
        default:
            break;
    }
}

void MidiSynth::render(float* interleaved, int frames) {
    fl->fluid_synth_write_float(synth_, frames, interleaved, 0, 2, interleaved, 1, 2);
}

int MidiSynth::activeVoices() {
    return fl->fluid_synth_get_active_voice_count(synth_);
}
