// A follower's rounds: what it logs, when it reads the source, and that the PC keeps ringing
// what it has while the source fails.
#include "sync/BundleFollower.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TempDir.h"
#include "fakes/FakeClock.h"
#include "fakes/InlineBackground.h"
#include "fakes/LogRecorder.h"
#include "schedule/ScheduleDb.h"
#include "schedule/ScheduleFixture.h"
#include "sync/FolderBundleSource.h"

namespace {

// A source whose answers the test gives when it likes, so a round can be caught half-way.
struct HeldSource : BundleSource {
    std::vector<ManifestDone>* asked;
    explicit HeldSource(std::vector<ManifestDone>* a) : asked(a) {}
    void readManifest(ManifestDone done) override { asked->push_back(std::move(done)); }
    void fetch(const bundle::Manifest&, const QStringList&, const QString&, FetchDone) override {}
};

struct BundleFollowerTest : ::testing::Test {
    TempDir dir;
    QString school = dir.file("school");
    QString share = dir.file("share");
    QString pc = dir.file("pc");
    FakeClock clock{QDateTime(QDate(2026, 12, 9), QTime(7, 0, 0))};
    LogRecorder log{clock};
    InlineBackground background;
    std::vector<QStringList> installed;

    void SetUp() override {
        QDir().mkpath(school + "/Music");
        QFile bell(school + "/Music/bell.wav");
        ASSERT_TRUE(bell.open(QIODevice::WriteOnly));
        bell.write("bell");
        bell.close();
        for (const QString& folder : {school, pc}) {
            QDir().mkpath(folder + "/Data");
            for (const QString& name : schedule::kTableNames) {
                ScheduleDb::create(folder + "/Data/" + name);
            }
        }
    }
    void publish(int hour) {
        ScheduleDb(school + "/Data/temp.dat")
            .replaceAll({makeRow(hour, 0, 0, "上课", "Music/bell.wav",
                                 {true, true, true, true, true, false, false})});
        clock.advance(1);  // each version its own stamp
        bundle::publish(school, share);
    }
    std::unique_ptr<BundleFollower> follower(std::unique_ptr<BundleSource> source = nullptr) {
        if (!source) {
            source = std::make_unique<FolderBundleSource>(share, background);
        }
        return std::make_unique<BundleFollower>(
            std::move(source), background, log.log, clock, pc, 5,
            [this](const QStringList& c) { installed.push_back(c); });
    }
    std::vector<ScheduleRow> pcRows() const { return ScheduleDb(pc + "/Data/temp.dat").rows(); }
};

TEST_F(BundleFollowerTest, TakesEachNewVersionOnceAndSaysEachFailureOnceInARow) {
    auto f = follower();
    f->syncNow();  // nothing published yet
    f->syncNow();
    EXPECT_EQ(log.of("sync-failed").size(), 1) << log.lines.join('\n').toStdString();
    EXPECT_FALSE(f->lastSync());

    QDir().mkpath(share);
    QFile bad(share + "/manifest.json");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("{\"version\": \"../x\", \"files\": []}");
    bad.close();
    f->syncNow();  // another reason: said again
    EXPECT_EQ(log.of("sync-failed").size(), 2);
    EXPECT_TRUE(pcRows().empty());

    publish(8);
    f->syncNow();
    EXPECT_EQ(log.of("sync-back").size(), 1);
    ASSERT_EQ(log.of("sync").size(), 1);
    EXPECT_EQ(log.of("sync").front(), f->version() + " temp.dat、1 个声音文件");
    ASSERT_EQ(pcRows().size(), 1u);
    EXPECT_EQ(pcRows().front().hour, 8);
    ASSERT_EQ(installed.size(), 1u);
    EXPECT_TRUE(f->lastSync());
    EXPECT_FALSE(QDir(pc + "/Cache/sync/staging").exists());

    f->syncNow();  // the same version: nothing fetched, nothing said
    EXPECT_EQ(log.of("sync").size(), 1);
    EXPECT_EQ(installed.size(), 1u);

    // A restarted program knows the version it holds.
    publish(9);
    auto again = follower();
    again->syncNow();
    EXPECT_EQ(log.of("sync").size(), 2);
    EXPECT_EQ(pcRows().front().hour, 9);
    EXPECT_EQ(log.of("sync-failed").size(), 2);
}

TEST_F(BundleFollowerTest, ReadsAtTheIntervalAndOnceMoreWhenAskedDuringARound) {
    std::vector<BundleSource::ManifestDone> asked;
    auto f = follower(std::make_unique<HeldSource>(&asked));
    const auto answer = [&asked] {
        auto done = std::move(asked.back());
        asked.pop_back();
        done({}, QStringLiteral("无法连接"));
    };
    f->tick();  // the first tick reads at once
    ASSERT_EQ(asked.size(), 1u);
    f->syncNow();  // 12:12:12 while the round is under way: one more round after it
    f->tick();
    EXPECT_EQ(asked.size(), 1u);
    answer();
    ASSERT_EQ(asked.size(), 1u);
    answer();
    EXPECT_FALSE(f->busy());

    const struct {
        int seconds;
        bool reads;
    } ticks[] = {{299, false}, {1, true}, {-3600, true}, {60, false}};
    for (const auto& t : ticks) {
        clock.advance(t.seconds);
        f->tick();
        EXPECT_EQ(asked.size(), t.reads ? 1u : 0u) << "after " << t.seconds << " s";
        if (!asked.empty()) {
            answer();
        }
    }
    EXPECT_EQ(log.of("sync-failed").size(), 1);
}

}  // namespace
