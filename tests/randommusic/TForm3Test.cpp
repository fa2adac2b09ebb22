#include "randommusic/TForm3.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <numeric>

#include "TempDir.h"
#include "core/HandlerGuard.h"
#include "core/IniFile.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeDialogs.h"
#include "fakes/LogRecorder.h"
#include "randommusic/RandomPlaylist.h"

namespace {

const QString kRefusal = QStringLiteral("随机音乐数大于可供选择的音乐数，重新设定");

struct TForm3Test : ::testing::Test {
    TempDir dir;
    QString music = dir.file(QStringLiteral("随机音乐"));
    IniFile ini{dir.file("config.ini")};
    FakeClock clock;
    FakeDialogs dialogs;
    LogRecorder log{clock};
    HandlerGuard guard{dialogs, log.log};
    std::unique_ptr<RandomPlaylist> list;
    std::unique_ptr<TForm3> form;

    void tunes(int count) {
        QDir(dir.path()).mkpath(QStringLiteral("随机音乐"));
        for (int i = 0; i < count; ++i) {
            dir.write(QStringLiteral("随机音乐/tune%1.mp3").arg(i, 2, 10, QLatin1Char('0')), "x");
        }
    }
    void storeCount(int n) { ini.writeInteger("Set", "Music_SJ", n); }
    int storedCount() { return ini.readInteger("Set", "Music_SJ", -99); }
    // Draws in a known order: the reverse of the pool.
    TForm3& create() {
        list = std::make_unique<RandomPlaylist>(music, ini, [](int n) {
            std::vector<int> order(static_cast<size_t>(n));
            std::iota(order.rbegin(), order.rend(), 1);
            return order;
        });
        form = std::make_unique<TForm3>(*list, ini, dialogs, guard);
        return *form;
    }
};

TEST_F(TForm3Test, PoolOfTwelveDrawsFourDistinctTunes) {
    tunes(12);
    TForm3& f = create();
    EXPECT_EQ(f.windowTitle(), "随机音乐");
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.lbl2->text(), "共有 12 首音乐");
    EXPECT_EQ(f.se1->value(), 4);
    const QStringList drawn = list->playlist();
    ASSERT_EQ(drawn.size(), 4);
    EXPECT_EQ(drawn.front(), list->pool().back());
    EXPECT_EQ(QSet<QString>(drawn.begin(), drawn.end()).size(), 4);
    EXPECT_EQ(list->PlayIndex, RandomPlaylist::kNoPlaylist);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(storedCount(), -99);  // nothing changed, nothing written
}

TEST_F(TForm3Test, RealDrawsAreRandomAndDistinct) {
    tunes(12);
    RandomPlaylist real(music, ini);
    TForm3 f(real, ini, dialogs, guard);
    QSet<QString> firsts;
    for (int i = 0; i < 30; ++i) {
        real.Rebuild();
        const QStringList& drawn = real.playlist();
        EXPECT_EQ(QSet<QString>(drawn.begin(), drawn.end()).size(), 4);
        firsts.insert(drawn.front());
        EXPECT_EQ(f.lst2->item(0)->text(), drawn.front());  // the window shows each draw
    }
    EXPECT_GT(firsts.size(), 3);
}

TEST_F(TForm3Test, PoolSmallerThanTheCountGivesTheWholePoolUnshuffled) {
    tunes(3);
    create();
    EXPECT_EQ(list->playlist(), list->pool());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(TForm3Test, StoredCountLargerThanThePoolIsRefusedAtStart) {
    tunes(5);
    storeCount(8);
    TForm3& f = create();
    EXPECT_EQ(dialogs.messages, QStringList{kRefusal});
    EXPECT_EQ(f.se1->value(), 1);
    EXPECT_EQ(storedCount(), 1);
    EXPECT_EQ(list->playlist(), list->pool());  // this draw still used 8
    list->Rebuild();
    EXPECT_EQ(list->playlist().size(), 1);
}

TEST_F(TForm3Test, CountsAboveTenAndBelowOne) {
    tunes(12);
    storeCount(15);
    TForm3& f = create();
    EXPECT_EQ(f.se1->value(), 10);
    EXPECT_EQ(list->playlist().size(), 10);
    EXPECT_EQ(storedCount(), 10);

    storeCount(0);
    list->Rebuild();
    EXPECT_TRUE(list->playlist().isEmpty());
    EXPECT_EQ(f.se1->value(), 1);
    EXPECT_EQ(storedCount(), 1);

    storeCount(-3);
    list->Rebuild();
    EXPECT_TRUE(list->playlist().isEmpty());
}

TEST_F(TForm3Test, FewerTunesThanADrawTakesAreSaidInTheWindow) {
    EXPECT_EQ(TForm3::shortageText(0, 4), "随机音乐文件夹里没有音乐");
    EXPECT_EQ(TForm3::shortageText(3, 4), "只有 3 首，少于每次播放的 4 首");
    EXPECT_EQ(TForm3::shortageText(4, 4), "");
    tunes(3);
    TForm3& f = create();
    EXPECT_EQ(f.lbl5->text(), "只有 3 首，少于每次播放的 4 首");
    f.se1->setValue(2);
    EXPECT_EQ(f.lbl5->text(), "");
}

TEST_F(TForm3Test, EmptyPoolRefusesARaisedCountTwiceAndStoresNothing) {
    TForm3& f = create();
    EXPECT_EQ(f.lbl2->text(), "共有 0 首音乐");
    EXPECT_TRUE(list->playlist().isEmpty());
    f.se1->setValue(2);
    EXPECT_EQ(dialogs.messages, (QStringList{kRefusal, kRefusal}));
    EXPECT_EQ(f.se1->value(), 1);
    EXPECT_EQ(storedCount(), -99);
}

TEST_F(TForm3Test, ACountWithinThePoolIsStoredButTheListIsNotRedrawn) {
    tunes(6);
    TForm3& f = create();
    const QStringList before = list->playlist();
    f.se1->setValue(6);
    EXPECT_EQ(storedCount(), 6);
    EXPECT_EQ(list->playlist(), before);
    f.se1->setValue(7);
    EXPECT_EQ(storedCount(), 1);  // refused, reset to 1, and 1 stored
}

TEST_F(TForm3Test, ARefusedWriteIsReportedAndTheWindowGoesOn) {
    tunes(6);
    create();
    IniFile broken(dir.file("config.ini/nested"));  // a folder that cannot exist
    RandomPlaylist other(music, broken);
    TForm3 g(other, broken, dialogs, guard);
    g.se1->setValue(5);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.front().startsWith("Unable to write to "));
    EXPECT_EQ(list->pool().size(), 6);
}

}  // namespace
