#include "core/ProgramFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TempDir.h"

namespace {

using programfolder::Location;

TEST(ProgramFolderTest, TheLayoutDecidesBetweenPortableAndInstalled) {
    TempDir root;
    QDir(root.path()).mkpath("usr/bin");
    QDir(root.path()).mkpath("usr/share/tollvane");
    QDir(root.path()).mkpath("opt/bin");  // a bin/ with no template beside it
    QDir(root.path()).mkpath("portable");
    const QString usrBin = root.file("usr/bin");
    struct Case {
        QString bin, dataHome, folder, templateDir;
    } cases[] = {
        {usrBin, "", "/home/a/.local/share/Tollvane", root.file("usr/share/tollvane")},
        {usrBin, "/data", "/data/Tollvane", root.file("usr/share/tollvane")},
        {usrBin, "relative/dir", "/home/a/.local/share/Tollvane", root.file("usr/share/tollvane")},
        {root.file("opt/bin"), "/data", root.file("opt/bin"), ""},
        {root.file("portable"), "/data", root.file("portable"), ""},
    };
    for (const Case& c : cases) {
        const Location where = programfolder::locate(c.bin, c.dataHome, "/home/a");
        EXPECT_EQ(where.folder, c.folder) << c.bin.toStdString() << " " << c.dataHome.toStdString();
        EXPECT_EQ(where.templateDir, c.templateDir) << c.bin.toStdString();
        EXPECT_EQ(where.installed(), !c.templateDir.isEmpty());
    }
}

TEST(ProgramFolderTest, LayingOutCopiesOnlyWhatIsMissingAndNeverOverwrites) {
    TempDir root;
    const QString tpl = root.file("template");
    QDir(tpl).mkpath("Data");
    QDir(tpl).mkpath("随机音乐");
    for (const char* name : {"Data/temp.dat", "sys.mp3", "config.ini"}) {
        QFile f(QDir(tpl).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("template");
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);  // as under /usr
    }
    const QString folder = root.file("home/Tollvane");

    programfolder::Completed first = programfolder::complete(tpl, folder);
    first.copied.sort();
    EXPECT_EQ(first.copied,
              (QStringList{"Data", "Data/temp.dat", "config.ini", "sys.mp3", "随机音乐"}));
    EXPECT_TRUE(first.failed.isEmpty());
    EXPECT_TRUE(QFile::permissions(QDir(folder).filePath("Data/temp.dat")) &
                QFileDevice::WriteOwner);

    // The school's own files stay; only what went missing comes back.
    QFile table(QDir(folder).filePath("Data/temp.dat"));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("the school's timetable");
    table.close();
    QFile::remove(QDir(folder).filePath("sys.mp3"));
    const programfolder::Completed later = programfolder::complete(tpl, folder);
    EXPECT_EQ(later.copied, QStringList{"sys.mp3"});
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_EQ(table.readAll(), "the school's timetable");

    // A dangling link in the template (a font package not installed) is reported, not fatal.
    QFile::link(root.file("nowhere.ttf"), QDir(tpl).filePath("digital.ttf"));
    EXPECT_EQ(programfolder::complete(tpl, folder).failed, QStringList{"digital.ttf"});
}

TEST(ProgramFolderTest, AChosenFileInsideTheFolderIsStoredRelative) {
    TempDir root;
    const QString folder = root.file("Tollvane");
    QDir(folder).mkpath("Music");
    QFile::link(folder, root.file("link"));
    QFile(QDir(folder).filePath("Music/下课.wav")).open(QIODevice::WriteOnly);
    struct Case {
        QString chosen, stored;
    } cases[] = {
        {folder + "/Music/下课.wav", "Music/下课.wav"},
        {folder + "/随机音乐", "随机音乐"},
        {root.file("link/Music/下课.wav"), "Music/下课.wav"},  // the folder through a link
        {root.file("Tollvane2/x.wav"),
         root.file("Tollvane2/x.wav")},  // a name that only begins alike
        {folder + "/../other.wav", folder + "/../other.wav"},
        {"/usr/share/sounds/bell.wav", "/usr/share/sounds/bell.wav"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(programfolder::stored(folder, c.chosen), c.stored) << c.chosen.toStdString();
        if (!QDir::isAbsolutePath(c.stored)) {
            EXPECT_EQ(QDir::cleanPath(programfolder::resolve(folder, c.stored)),
                      QDir::cleanPath(folder + "/" + c.stored));
        }
    }
}

}  // namespace
