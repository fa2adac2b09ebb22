#include <QCheckBox>

#include "app/FormFixture.h"
#include "system/VolumeControl.h"
#include "widgets/TRealTrackbar.h"

namespace {

using VolumeControlTest = FormFixture;

TEST_F(VolumeControlTest, StartUpShowsTheMixerAndWritesNothing) {
    for (const int level : {0, 33, 100}) {
        mixerLevel = level;
        TForm1& f = start();
        EXPECT_EQ(f.rltrckbr1->Value(), level);
        EXPECT_EQ(mixer->writes, 0) << level;  // the system's volume is not flattened
        EXPECT_FALSE(f.chk3->isChecked());
        form.reset();
    }
}

TEST_F(VolumeControlTest, SliderSetsTheLevelAndMuteUsesTheSwitch) {
    TForm1& f = start();
    f.rltrckbr1->moveTo(55);
    EXPECT_EQ(mixer->percent, 55);
    f.chk3->setChecked(true);
    EXPECT_TRUE(mixer->mute);
    EXPECT_EQ(mixer->percent, 55);
    // Moving the slider while muted: the sound comes back at the new level, the box stays.
    f.rltrckbr1->moveTo(40);
    EXPECT_EQ(mixer->percent, 40);
    EXPECT_FALSE(mixer->mute);
    EXPECT_TRUE(f.chk3->isChecked());
    f.chk3->setChecked(false);
    EXPECT_FALSE(mixer->mute);
    EXPECT_EQ(mixer->percent, 40);
}

TEST_F(VolumeControlTest, WithoutASwitchMuteIsLevelZeroAndUnmutingRestoresTheSlider) {
    TForm1& f = start();
    mixer->withSwitch = false;
    f.rltrckbr1->moveTo(60);
    f.chk3->setChecked(true);
    EXPECT_EQ(mixer->percent, 0);
    f.chk3->setChecked(false);
    EXPECT_EQ(mixer->percent, 60);
}

TEST_F(VolumeControlTest, ChangesMadeElsewhereMoveTheControlsWithoutWritingBack) {
    TForm1& f = start();
    const int writes = mixer->writes;
    mixer->changeElsewhere(25, true);
    EXPECT_EQ(f.rltrckbr1->Value(), 25);
    EXPECT_TRUE(f.chk3->isChecked());
    EXPECT_EQ(mixer->writes, writes);
}

TEST_F(VolumeControlTest, NoMixerIsLoggedOnceAndOneThatComesLaterIsUsed) {
    mixerThere = false;
    TForm1& f = start();
    f.rltrckbr1->moveTo(20);
    f.chk3->setChecked(true);
    EXPECT_EQ(log.of("mixer-missing").size(), 1);
    EXPECT_EQ(mixer->writes, 0);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    mixer->there = true;
    f.rltrckbr1->moveTo(30);
    EXPECT_EQ(mixer->percent, 30);
}

}  // namespace
