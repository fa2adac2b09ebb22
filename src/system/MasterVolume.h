#pragma once

#include <QObject>

// The computer's master volume, in percent of the mixer's range, and its mute switch. One
// control stands for all the program's sound (MIDI is synthesised into the same output).
class MasterVolume : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // Whether a mixer answers now (a sound server that starts later is looked for again).
    virtual bool available() = 0;
    // The level in percent (0..100); -1 when there is no mixer.
    virtual int level() = 0;
    // Sets both channels to `percent`.
    virtual void setLevel(int percent) = 0;
    virtual bool muted() = 0;
    // Sets the mixer's mute switch; a mixer without one (see hasSwitch) is left alone, and the
    // caller silences it by its level.
    virtual void setMuted(bool muted) = 0;
    virtual bool hasSwitch() = 0;

  signals:
    // Level or switch changed elsewhere (the desktop's volume control).
    void changedElsewhere();
};
