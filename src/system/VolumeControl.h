#pragma once

class EventLog;
class MasterVolume;
class QCheckBox;
class TRealTrackbar;

// The group "音量": the slider sets the master volume (percent of the mixer's range, both
// channels), "静音" mutes it. At start-up the slider shows the mixer's level and nothing is
// written. A change made elsewhere (a mixer event) moves the slider and the box, writing nothing
// back.
class VolumeControl {
  public:
    VolumeControl(MasterVolume& mixer, TRealTrackbar& slider, QCheckBox& chk3, EventLog& log);

    // Reads the mixer into the controls; from then on the handlers act.
    void startup();
    void rltrckbr1Change();
    void chk3Click();
    // The mixer changed elsewhere: the controls follow.
    void follow();

  private:
    bool mixerThere();

    MasterVolume& mixer_;
    TRealTrackbar& slider_;
    QCheckBox& chk3_;
    EventLog& log_;
    bool ready_ = false;
    bool following_ = false;
    bool missingLogged_ = false;
    bool present_ = false;
};
