// One contract, two back ends: the fake with simulated time and GStreamer playing real files
// into a fake sink. Both must give the program the same player.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>

#include "EventWait.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "fakes/FakePlayerBackend.h"
#include "media/GstBackend.h"
#include "media/TestMedia.h"

namespace {

void deliverQueued() {
    QCoreApplication::processEvents();
}

struct Kit {
    virtual ~Kit() = default;
    virtual std::unique_ptr<PlayerBackend> make() = 0;
    virtual QString file(const QString& name) = 0;  // a 400 ms sound
    virtual void runToEnd(TMediaPlayer& p) = 0;
    virtual void playAWhile(TMediaPlayer& p) = 0;  // some but not all of the sound
    TempDir dir;
};

struct FakeKit : Kit {
    FakePlayerBackend* backend = nullptr;
    std::unique_ptr<PlayerBackend> make() override {
        auto b = std::make_unique<FakePlayerBackend>();
        b->defaultLength = 400;
        backend = b.get();
        return b;
    }
    QString file(const QString& name) override { return dir.file(name); }
    void runToEnd(TMediaPlayer&) override { backend->runToEnd(); }
    void playAWhile(TMediaPlayer&) override { backend->advance(150); }
};

struct GstKit : Kit {
    ScopedEnv sink{"TOLLVANE_AUDIO_SINK", "fakesink sync=true"};
    std::unique_ptr<PlayerBackend> make() override { return std::make_unique<GstBackend>(); }
    QString file(const QString& name) override {
        const QString path = dir.file(name + ".wav");
        if (!QFile::exists(path)) {
            testmedia::writeWav(path, 400);
        }
        return path;
    }
    void runToEnd(TMediaPlayer& p) override {
        ASSERT_TRUE(waitUntil([&] { return p.Mode() == mpStopped; }));
    }
    void playAWhile(TMediaPlayer& p) override {
        ASSERT_TRUE(waitUntil([&] { return p.Position() >= 100; }));
    }
};

class PlayerContract : public ::testing::TestWithParam<std::function<Kit*()>> {
  protected:
    void SetUp() override {
        kit.reset(GetParam()());
        player = std::make_unique<TMediaPlayer>(kit->make());
        QObject::connect(player.get(), &TMediaPlayer::OnNotify, [this] {
            ++notifications;
            modes << ModeText(player->Mode());
        });
    }
    void openFile(const QString& name) { player->Open(kit->file(name)); }
    std::unique_ptr<Kit> kit;
    std::unique_ptr<TMediaPlayer> player;
    int notifications = 0;
    QStringList modes;
};

TEST_P(PlayerContract, OpenPlayToTheEndNotifiesOnceWithPositionAtLength) {
    openFile("a");
    EXPECT_EQ(player->Mode(), mpStopped);
    EXPECT_EQ(player->Position(), 0);
    // A busy machine may still be reading the file when Open returns; its length follows.
    ASSERT_TRUE(waitUntil([&] { return player->Length() > 0; }));
    EXPECT_NEAR(player->Length(), 400, 30);
    player->Play();
    EXPECT_EQ(player->Mode(), mpPlaying);
    EXPECT_EQ(notifications, 0);
    kit->runToEnd(*player);
    deliverQueued();
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(modes, QStringList{"停止"});
    EXPECT_EQ(player->Position(), player->Length());
    deliverQueued();
    EXPECT_EQ(notifications, 1);
}

TEST_P(PlayerContract, NotifyIsOneShotAndDeliveredAfterTheHandlerReturns) {
    openFile("a");
    player->Notify = true;
    player->Stop();
    EXPECT_FALSE(player->Notify);
    EXPECT_EQ(notifications, 0);  // queued, not delivered inside the command
    deliverQueued();
    EXPECT_EQ(notifications, 1);
    player->Stop();  // not re-armed: no notification
    player->Position();
    player->Length();
    deliverQueued();
    EXPECT_EQ(notifications, 1);

    player->Notify = true;
    player->Position();  // queries neither use nor consume it
    player->Mode();
    EXPECT_TRUE(player->Notify);
}

TEST_P(PlayerContract, ANewSoundStartedInOneHandlerLeavesTheModeAtPlaying) {
    openFile("a");
    player->Play();
    kit->runToEnd(*player);
    deliverQueued();
    ASSERT_EQ(modes, QStringList{"停止"});
    // As a ring does after the handler re-armed the request: stop, open, play.
    player->Notify = true;
    player->Stop();
    openFile("b");
    player->Play();
    deliverQueued();
    EXPECT_EQ(notifications, 2);
    EXPECT_EQ(modes.last(), "正在播放");
}

TEST_P(PlayerContract, ReplacingAPlayingSoundEndsItsNotification) {
    openFile("a");
    player->Play();
    openFile("b");  // the implicit close ends the first play
    player->Play();
    deliverQueued();
    EXPECT_EQ(notifications, 1);
    kit->runToEnd(*player);
    deliverQueued();
    EXPECT_EQ(notifications, 2);
}

TEST_P(PlayerContract, StopKeepsThePositionAndPlayGoesOnFromIt) {
    openFile("a");
    player->Play();
    kit->playAWhile(*player);
    player->Stop();
    const qint64 at = player->Position();
    EXPECT_GT(at, 0);
    EXPECT_LT(at, player->Length());
    EXPECT_EQ(player->Mode(), mpStopped);
    deliverQueued();
    EXPECT_EQ(notifications, 1);  // the stopped play's notification
    EXPECT_EQ(player->Position(), at);
}

TEST_P(PlayerContract, AutoRewindStartsAgainFromTheStart) {
    openFile("a");
    player->Play();
    kit->runToEnd(*player);
    ASSERT_EQ(player->Position(), player->Length());
    player->Play();
    EXPECT_LT(player->Position(), player->Length());
    EXPECT_EQ(player->Mode(), mpPlaying);
    kit->runToEnd(*player);
    deliverQueued();
    EXPECT_EQ(notifications, 2);
}

TEST_P(PlayerContract, AClosedPlayerRefusesAndKeepsTheRequest) {
    player->Notify = true;
    for (auto op : {&TMediaPlayer::Stop, &TMediaPlayer::Play, &TMediaPlayer::StartRecording,
                    &TMediaPlayer::Save}) {
        try {
            (player.get()->*op)();
            ADD_FAILURE() << "a closed player obeyed";
        } catch (const EMCIDeviceError& e) {
            EXPECT_EQ(e.text(), "No MCI device open");
        }
    }
    EXPECT_THROW(player->Length(), EMCIDeviceError);
    EXPECT_TRUE(player->Notify);
    player->Close();  // harmless when closed
    openFile("a");
    player->Close();
    EXPECT_THROW(player->Play(), EMCIDeviceError);
    deliverQueued();
    EXPECT_EQ(notifications, 1);  // the open consumed the request that the refusals kept
}

TEST_P(PlayerContract, AFileThatCannotBeOpenedLeavesThePlayerClosed) {
    openFile("a");
    const QString missing = kit->dir.file("missing.mp3");
    if (auto* fake = dynamic_cast<FakeKit*>(kit.get())) {
        fake->backend->broken.insert(missing);
    }
    try {
        player->Open(missing);
        FAIL() << "opened a missing file";
    } catch (const EMCIDeviceError& e) {
        EXPECT_FALSE(e.text().isEmpty());
    }
    EXPECT_FALSE(player->isOpen());
    EXPECT_THROW(player->Stop(), EMCIDeviceError);
}

// Named so that test names stay the same from build to build.
std::string backEndName(const ::testing::TestParamInfo<PlayerContract::ParamType>&) {
    return "BackEnd";
}
INSTANTIATE_TEST_SUITE_P(Fake, PlayerContract,
                         ::testing::Values([]() -> Kit* { return new FakeKit; }), backEndName);
INSTANTIATE_TEST_SUITE_P(GStreamer, PlayerContract,
                         ::testing::Values([]() -> Kit* { return new GstKit; }), backEndName);

}  // namespace
