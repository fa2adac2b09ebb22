#pragma once

#include <QByteArray>
#include <QList>
#include <memory>

#include "system/MasterVolume.h"

class QSocketNotifier;
typedef struct _snd_mixer snd_mixer_t;
typedef struct _snd_mixer_elem snd_mixer_elem_t;

// The master volume through ALSA's simple mixer on the device "default" (on a desktop with
// PulseAudio or PipeWire that is the sound server's default output; on a bare card, the card),
// element "Master", else "PCM". TOLLVANE_MIXER_DEVICE names another device. Changes made
// elsewhere arrive as mixer events on the event loop.
class AlsaMasterVolume : public MasterVolume {
    Q_OBJECT
  public:
    explicit AlsaMasterVolume(QByteArray device = {});
    ~AlsaMasterVolume() override;

    bool available() override;
    int level() override;
    void setLevel(int percent) override;
    bool muted() override;
    void setMuted(bool muted) override;
    bool hasSwitch() override;

  private:
    bool attach();
    void detach();
    void onEvents();

    QByteArray device_;
    snd_mixer_t* mixer_ = nullptr;
    snd_mixer_elem_t* element_ = nullptr;
    QList<QSocketNotifier*> notifiers_;
    bool applying_ = false;
};
