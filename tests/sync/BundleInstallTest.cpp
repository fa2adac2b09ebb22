// A follower takes the school's bundle whole or not at all.
#include "sync/BundleInstall.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <functional>

#include "TempDir.h"
#include "calendar/CalendarStore.h"
#include "schedule/ScheduleDb.h"
#include "schedule/ScheduleFixture.h"

namespace {

ScheduleRow row(int h, int m, int s, const QString& event, const QString& sound) {
    return makeRow(h, m, s, event, sound, {true, true, true, true, true, false, false});
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct BundleInstallTest : ::testing::Test {
    TempDir dir;
    QString school = dir.file("school");      // where the timetable is edited
    QString share = dir.file("share");        // what it publishes to
    QString follower = dir.file("follower");  // a bell PC
    QDateTime now{QDate(2026, 12, 9), QTime(12, 12, 12)};

    void layOut(const QString& folder) {
        QDir().mkpath(folder + "/Data");
        for (const QString& name : schedule::kTableNames) {
            ScheduleDb::create(folder + "/Data/" + name);
        }
    }
    void SetUp() override {
        layOut(school);
        layOut(follower);
        put(school + "/Music/上课.wav", "new bell");
        ScheduleDb(school + "/Data/temp.dat").replaceAll({row(8, 0, 0, "上课", "Music/上课.wav")});
        put(follower + "/Music/上课.wav", "old bell");
        ScheduleDb(follower + "/Data/temp.dat")
            .replaceAll({row(7, 0, 0, "早读", "Music/上课.wav")});
    }
    bundle::Manifest published() {
        QString why;
        auto m = bundle::fromJson(bytesOf(share + "/manifest.json"), &why);
        EXPECT_TRUE(m) << why.toStdString();
        return m.value_or(bundle::Manifest{});
    }
    // Fetches and takes in the share's bundle; the reason it was refused, empty when taken.
    QString follow(bundle::Manifest m, QStringList* changed = nullptr) {
        QString why;
        const QString staged = dir.file("staging-" + QString::number(++runs));
        if (const auto r = bundle::refusal(m)) {
            return *r;
        }
        if (!bundle::fetchFromFolder(share, m, staged, &why)) {
            return why;
        }
        const auto checked = bundle::check(staged, m, &why);
        if (!checked) {
            return why;
        }
        const QStringList c = bundle::install(follower, staged, m, *checked, now);
        if (changed != nullptr) {
            *changed = c;
        }
        return {};
    }
    int runs = 0;
};

TEST_F(BundleInstallTest, AGoodBundleReplacesTablesAndSoundsKeepingThePreviousTablesAsBackup) {
    bundle::publish(school, share);
    QStringList changed;
    ASSERT_EQ(follow(published(), &changed), QString());
    // An empty calendar where the PC has none is no change.
    EXPECT_EQ(changed, (QStringList{"temp.dat", "1 个声音文件"}));
    const auto rows = ScheduleDb(follower + "/Data/temp.dat").rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].event, "上课");
    EXPECT_EQ(bytesOf(follower + "/Music/上课.wav"), "new bell");
    EXPECT_EQ(QDir(follower + "/Data/backup").entryList({"temp-*.dat"}, QDir::Files).size(), 1);
    // The same bundle again changes nothing.
    ASSERT_EQ(follow(published(), &changed), QString());
    EXPECT_TRUE(changed.isEmpty());
}

TEST_F(BundleInstallTest, WhateverIsWrongWithABundleNothingLocalChanges) {
    const QString version = bundle::publish(school, share).version;
    const QString folder = share + "/" + version;
    const auto rehash = [&](bundle::Manifest& m, const QString& path) {
        for (bundle::File& f : m.files) {
            if (f.path == path) {
                const QByteArray b = bytesOf(folder + "/" + path);
                f.size = b.size();
                f.sha256 = QCryptographicHash::hash(b, QCryptographicHash::Sha256).toHex();
            }
        }
    };
    const struct {
        const char* what;
        std::function<void(bundle::Manifest&)> spoil;
        const char* reason;  // a part of the reason given
    } cases[] = {
        {"a file changed under the old manifest",
         [&](bundle::Manifest&) { put(folder + "/files/Music/上课.wav", "bad bell"); }, "SHA-256"},
        {"a file missing", [&](bundle::Manifest&) { QFile::remove(folder + "/calendar.csv"); },
         "calendar.csv"},
        {"a bad row",
         [&](bundle::Manifest& m) {
             put(folder + "/tables/temp.csv",
                 "时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n25,0,0,x,,1,1,1,1,1,1,"
                 "1\n");
             rehash(m, "tables/temp.csv");
         },
         "temp.csv"},
        {"a bundle still being written (its folder not yet complete)",
         [&](bundle::Manifest& m) { m.version = "20991231T000000000Z"; }, "缺少"},
        {"a link in place of a file",
         [&](bundle::Manifest&) {
             QFile::remove(folder + "/files/Music/上课.wav");
             QFile::link(follower + "/Data/temp.dat", folder + "/files/Music/上课.wav");
         },
         "普通文件"},
        {"over 500 MB", [&](bundle::Manifest& m) { m.files[0].size = bundle::kMaxBytes + 1; },
         "500 MB"},
    };
    const QByteArray table = bytesOf(follower + "/Data/temp.dat");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(share).removeRecursively();
        bundle::publish(school, share);
        bundle::Manifest m = published();
        QDir(share + "/" + m.version).rename(share + "/" + m.version, folder);
        m.version = version;
        c.spoil(m);
        const QString why = follow(m);
        EXPECT_TRUE(why.contains(QString::fromUtf8(c.reason))) << why.toStdString();
        EXPECT_EQ(bytesOf(follower + "/Data/temp.dat"), table);
        EXPECT_EQ(bytesOf(follower + "/Music/上课.wav"), "old bell");
        EXPECT_FALSE(QFileInfo::exists(follower + "/Data/calendar.dat"));
        EXPECT_FALSE(QFileInfo::exists(follower + "/Data/backup"));
    }
}

}  // namespace
