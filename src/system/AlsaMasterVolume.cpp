#include "system/AlsaMasterVolume.h"

#include <alsa/asoundlib.h>

#include <QSocketNotifier>
#include <cmath>
#include <vector>

namespace {

// ALSA's own messages would go to standard error, into the event log; a missing mixer is logged
// by the program once instead.
void quiet(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

AlsaMasterVolume::AlsaMasterVolume(QByteArray device) : device_(std::move(device)) {
    snd_lib_error_set_handler(quiet);
    if (device_.isEmpty()) {
        device_ = qEnvironmentVariableIsSet("TOLLVANE_MIXER_DEVICE")
                      ? qgetenv("TOLLVANE_MIXER_DEVICE")
                      : QByteArray("default");
    }
    attach();
}

AlsaMasterVolume::~AlsaMasterVolume() {
    detach();
}

void AlsaMasterVolume::detach() {
    qDeleteAll(notifiers_);
    notifiers_.clear();
    if (mixer_ != nullptr) {
        snd_mixer_close(mixer_);
    }
    mixer_ = nullptr;
    element_ = nullptr;
}

bool AlsaMasterVolume::attach() {
    if (mixer_ != nullptr) {
        return true;
    }
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0) {
        return false;
    }
    if (snd_mixer_attach(mixer, device_.constData()) < 0 ||
        snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 || snd_mixer_load(mixer) < 0) {
        snd_mixer_close(mixer);
        return false;
    }
    snd_mixer_elem_t* found = nullptr;
    for (const char* name : {"Master", "PCM"}) {
        snd_mixer_selem_id_t* id = nullptr;
        snd_mixer_selem_id_alloca(&id);
        snd_mixer_selem_id_set_name(id, name);
        found = snd_mixer_find_selem(mixer, id);
        if (found != nullptr && snd_mixer_selem_has_playback_volume(found)) {
            break;
        }
        found = nullptr;
    }
    if (found == nullptr) {
        snd_mixer_close(mixer);
        return false;
    }
    mixer_ = mixer;
    element_ = found;
    // Changes made elsewhere wake the event loop.
    const int count = snd_mixer_poll_descriptors_count(mixer_);
    std::vector<pollfd> fds(static_cast<size_t>(std::max(count, 0)));
    snd_mixer_poll_descriptors(mixer_, fds.data(), static_cast<unsigned>(fds.size()));
    for (const pollfd& fd : fds) {
        auto* notifier = new QSocketNotifier(fd.fd, QSocketNotifier::Read);
        connect(notifier, &QSocketNotifier::activated, this, &AlsaMasterVolume::onEvents);
        notifiers_ << notifier;
    }
    return true;
}

void AlsaMasterVolume::onEvents() {
    if (mixer_ == nullptr) {
        return;
    }
    if (snd_mixer_handle_events(mixer_) < 0) {
        detach();  // the sound server went away; looked for again at the next use
        return;
    }
    if (!applying_) {
        emit changedElsewhere();
    }
}

bool AlsaMasterVolume::available() {
    return attach();
}

int AlsaMasterVolume::level() {
    if (!attach()) {
        return -1;
    }
    snd_mixer_handle_events(mixer_);
    long min = 0;
    long max = 0;
    long value = 0;
    snd_mixer_selem_get_playback_volume_range(element_, &min, &max);
    snd_mixer_selem_get_playback_volume(element_, SND_MIXER_SCHN_FRONT_LEFT, &value);
    if (max <= min) {
        return 0;
    }
    return static_cast<int>(
        std::lround(100.0 * static_cast<double>(value - min) / static_cast<double>(max - min)));
}

void AlsaMasterVolume::setLevel(int percent) {
    if (!attach()) {
        return;
    }
    long min = 0;
    long max = 0;
    snd_mixer_selem_get_playback_volume_range(element_, &min, &max);
    const long value =
        min + std::lround(static_cast<double>(max - min) * std::clamp(percent, 0, 100) / 100.0);
    applying_ = true;
    snd_mixer_selem_set_playback_volume_all(element_, value);
    snd_mixer_handle_events(mixer_);  // our own change is no news
    applying_ = false;
}

bool AlsaMasterVolume::hasSwitch() {
    return attach() && snd_mixer_selem_has_playback_switch(element_);
}

bool AlsaMasterVolume::muted() {
    if (!hasSwitch()) {
        return false;
    }
    snd_mixer_handle_events(mixer_);
    int on = 1;
    snd_mixer_selem_get_playback_switch(element_, SND_MIXER_SCHN_FRONT_LEFT, &on);
    return on == 0;
}

void AlsaMasterVolume::setMuted(bool mute) {
    if (!hasSwitch()) {
        return;  // nothing to switch: the caller silences by the volume
    }
    applying_ = true;
    snd_mixer_selem_set_playback_switch_all(element_, mute ? 0 : 1);
    snd_mixer_handle_events(mixer_);
    applying_ = false;
}
