// The school's bundle as `tollvane-table publish` writes it.
#include "table/Bundle.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "TempDir.h"
#include "core/AppError.h"
#include "schedule/ScheduleDb.h"
#include "schedule/ScheduleFixture.h"
#include "table/TableCsv.h"

namespace {

ScheduleRow row(int h, int m, int s, const QString& event, const QString& sound) {
    return makeRow(h, m, s, event, sound, {true, true, true, true, true, false, false});
}

struct BundleTest : ::testing::Test {
    TempDir dir;
    QString program = dir.file("program");
    QString out = dir.file("www/bells");

    void SetUp() override {
        QDir().mkpath(program + "/Data");
        QDir().mkpath(program + "/Music");
        QDir().mkpath(program + "/随机音乐");
        for (const QString& name : schedule::kTableNames) {
            ScheduleDb::create(program + "/Data/" + name);
        }
    }
    QByteArray read(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bundle::Manifest manifest() const {
        QString why;
        const auto m = bundle::fromJson(read(out + "/" + bundle::kManifest), &why);
        EXPECT_TRUE(m.has_value()) << why.toStdString();
        return m.value_or(bundle::Manifest{});
    }
};

TEST_F(BundleTest, HoldsTablesCalendarAndTheSoundsInsideTheFolderEachWithSizeAndHash) {
    dir.write("program/Music/上课.wav", "bell");
    dir.write("program/随机音乐/曲.mp3", "tune");
    dir.write("elsewhere.wav", "x");
    ScheduleDb(program + "/Data/temp.dat")
        .replaceAll({row(8, 0, 0, "上课", "Music/上课.wav"),
                     row(8, 45, 0, "下课", dir.file("elsewhere.wav")),
                     row(9, 0, 0, "课间", "随机音乐"), row(9, 5, 0, "再上课", "Music/上课.wav")});
    const bundle::Published published = bundle::publish(program, out);

    ASSERT_EQ(published.warnings.size(), 1);
    EXPECT_TRUE(published.warnings[0].contains(dir.file("elsewhere.wav")));
    const bundle::Manifest m = manifest();
    EXPECT_EQ(m.version, published.version);
    QStringList paths;
    for (const bundle::File& f : m.files) {
        paths << f.path;
        const QByteArray bytes = read(out + "/" + m.version + "/" + f.path);
        EXPECT_EQ(f.size, bytes.size()) << f.path.toStdString();
        EXPECT_EQ(f.sha256, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }
    EXPECT_EQ(paths, (QStringList{"calendar.csv", "files/Music/上课.wav", "files/随机音乐/曲.mp3",
                                  "tables/dongqing.csv", "tables/dongyu.csv", "tables/temp.csv",
                                  "tables/xiaqing.csv", "tables/xiayu.csv"}));
    const auto rows =
        tablecsv::read(QString::fromUtf8(read(out + "/" + m.version + "/tables/temp.csv")));
    EXPECT_TRUE(rows.errors.isEmpty());
    EXPECT_EQ(rows.rows.size(), 4u);  // the row with the outside sound is published as it is
}

TEST_F(BundleTest, ANewVersionSwitchesInWithTheManifestAndOnlyTheOneBeforeItIsKept) {
    QDir().mkpath(out + "/other-site-files");
    const QString first = bundle::publish(program, out).version;
    dir.write("program/Music/a.wav", "a");
    ScheduleDb(program + "/Data/temp.dat").replaceAll({row(8, 0, 0, "上课", "Music/a.wav")});
    const QString second = bundle::publish(program, out).version;
    const QString third = bundle::publish(program, out).version;
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_EQ(manifest().version, third);
    EXPECT_FALSE(QFileInfo::exists(out + "/" + first));
    EXPECT_TRUE(QFileInfo::exists(out + "/" + second));  // a reader may still be fetching it
    EXPECT_TRUE(QFileInfo::exists(out + "/other-site-files"));
    EXPECT_FALSE(QFileInfo::exists(out + "/manifest.json.part"));
}

TEST(BundleManifestTest, PathsThatLeaveTheFolderOrLackAHashAreRefused) {
    const QByteArray hash(64, 'a');
    const struct {
        const char* what;
        QString path;
        qint64 size;
        QByteArray sha;
    } cases[] = {
        {"parent", "../x.wav", 1, hash},         {"inner parent", "files/../../x", 1, hash},
        {"absolute", "/etc/passwd", 1, hash},    {"backslash", "files\\x.wav", 1, hash},
        {"empty part", "files//x.wav", 1, hash}, {"no hash", "files/x.wav", 1, "abc"},
        {"no size", "files/x.wav", -1, hash}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString why;
        const QByteArray json = bundle::toJson({"20261209T101010000Z", {{c.path, c.size, c.sha}}});
        EXPECT_FALSE(bundle::fromJson(json, &why).has_value());
        EXPECT_FALSE(why.isEmpty());
    }
    QString why;
    EXPECT_TRUE(
        bundle::fromJson(bundle::toJson({"v1", {{"files/Music/上课.wav", 4, hash}}}), &why));
    EXPECT_FALSE(bundle::fromJson("{\"version\": \"../x\"}", &why));
    EXPECT_FALSE(bundle::fromJson("not json", &why));
    for (const char* size : {"1e300", "0.5", "\"4\"", "-0.5"}) {  // no whole number of bytes
        const QByteArray json =
            "{\"version\": \"v1\", \"files\": [{\"path\": \"a\", \"size\": " + QByteArray(size) +
            ", \"sha256\": \"" + hash + "\"}]}";
        EXPECT_FALSE(bundle::fromJson(json, &why)) << size;
    }
}

}  // namespace
