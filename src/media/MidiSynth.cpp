#include "media/MidiSynth.h"

#include <fluidsynth.h>

#include <atomic>

#include "core/NativePath.h"
#include "media/Soundfont.h"

namespace {

constexpr int kChannels = 16;
std::atomic<int> madeCount{0};

void quietLog(int, const char*, void*) {}

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
    // fluidsynth writes its warnings to the terminal; a failure is said by its return values.
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
        fluid_set_log_function(level, quietLog, nullptr);
    }
    settings_ = new_fluid_settings();
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    fluid_settings_setnum(settings_, "synth.sample-rate", kRate);
    fluid_settings_setnum(settings_, "synth.gain", 0.2);
    // 128 voices are plenty for a bell or a song; each voice costs memory whether used or not.
    fluid_settings_setint(settings_, "synth.polyphony", 128);
    synth_ = new_fluid_synth(settings_);
    if (synth_ != nullptr) {
        // Not assigned to the channels: an instrument's samples load only when it is chosen.
        font_ = fluid_synth_sfload(synth_, nativepath::encode(soundfont).constData(), 0);
    }
    if (font_ == FLUID_FAILED || synth_ == nullptr) {
        *error = QStringLiteral("MIDI 音色库无法读取：") + soundfont;
        if (synth_ != nullptr) {
            delete_fluid_synth(synth_);
        }
        delete_fluid_settings(settings_);
        synth_ = nullptr;
        settings_ = nullptr;
        return false;
    }
    for (int channel = 0; channel < kChannels; ++channel) {
        fluid_synth_unset_program(synth_, channel);
    }
    return true;
}

void MidiSynth::pin(const Instruments& instruments) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& instrument : instruments) {
        if (pins_[instrument]++ == 0) {
            // An instrument the font lacks is not pinned; the synthesiser's fallback loads then.
            fluid_synth_pin_preset(synth_, font_, instrument.first, instrument.second);
        }
    }
}

void MidiSynth::unpin(const Instruments& instruments) {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& instrument : instruments) {
        const auto held = pins_.find(instrument);
        if (held != pins_.end() && --held->second == 0) {
            fluid_synth_unpin_preset(synth_, font_, instrument.first, instrument.second);
            pins_.erase(held);
        }
    }
}

int MidiSynth::pinned() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(pins_.size());
}

void MidiSynth::resetChannels(std::uint16_t defaults) {
    fluid_synth_all_sounds_off(synth_, -1);
    for (int channel = 0; channel < kChannels; ++channel) {
        fluid_synth_cc(synth_, channel, 121, 0);  // reset all controllers
        fluid_synth_cc(synth_, channel, 0, 0);    // bank 0
        fluid_synth_pitch_bend(synth_, channel, 8192);
        if ((defaults >> channel & 1) != 0) {
            fluid_synth_program_change(synth_, channel, 0);
        } else {
            fluid_synth_unset_program(synth_, channel);
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
            fluid_synth_noteoff(synth_, channel, e.data1);
            break;
        case 0x90:
            fluid_synth_noteon(synth_, channel, e.data1, e.data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(synth_, channel, e.data1, e.data2);
            break;
        case 0xB0:
            fluid_synth_cc(synth_, channel, e.data1, e.data2);
            break;
        case 0xC0:
            fluid_synth_program_change(synth_, channel, e.data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(synth_, channel, e.data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(synth_, channel, e.data1 | e.data2 << 7);
            break;
        default:
            break;
    }
}

void MidiSynth::render(float* interleaved, int frames) {
    fluid_synth_write_float(synth_, frames, interleaved, 0, 2, interleaved, 1, 2);
}

int MidiSynth::activeVoices() {
    return fluid_synth_get_active_voice_count(synth_);
}
