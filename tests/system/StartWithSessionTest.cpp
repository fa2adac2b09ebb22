#include <QCheckBox>
#include <QFileInfo>

#include "app/FormFixture.h"
#include "system/DesktopEntry.h"
#include "system/StartWithSession.h"

namespace {

// The Exec key read back as the Desktop Entry Specification says a launcher reads it: first the
// string value's escapes, then the arguments split at blanks outside quotes (inside them a
// backslash before any of " ` $ and itself stands for that character), then %% as a literal %.
QStringList readExec(const QString& value) {
    QString text;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            text += next == 's'   ? QChar(' ')
                    : next == 'n' ? QChar('\n')
                    : next == 't' ? QChar('\t')
                    : next == 'r' ? QChar('\r')
                                  : next;
        } else {
            text += value[i];
        }
    }
    QStringList args;
    QString arg;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == '\\' && i + 1 < text.size() &&
            QStringLiteral("\"`$\\").contains(text[i + 1])) {
            arg += text[++i];
        } else if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) {
                args << arg;
            }
            arg.clear();
            any = false;
        } else if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            arg += '%';
            ++i;
            any = true;
        } else {
            arg += c;
            any = true;
        }
    }
    if (any) {
        args << arg;
    }
    return args;
}

TEST(DesktopEntryTest, ExecReadsBackAsThePathForEveryAwkwardFolderName) {
    for (const QString& program :
         {QStringLiteral("/opt/Tollvane/tollvane"), QStringLiteral("/home/铃声 程序/tollvane"),
          QStringLiteral("/srv/a \"b\" 'c'/tollvane"), QStringLiteral("/srv/$HOME `id`/tollvane"),
          QStringLiteral("/srv/100% %f %%/tollvane"),
          QStringLiteral("/srv/back\\slash\\n/tollvane"),
          QStringLiteral("/srv/tab\there;&|*?~#()<>/tollvane")}) {
        const QString exec = desktopentry::execLine(program);
        EXPECT_EQ(readExec(exec), (QStringList{"/usr/bin/env", program})) << exec.toStdString();
        EXPECT_FALSE(exec.contains('\t')) << "a control character stays escaped";
    }
    EXPECT_EQ(desktopentry::charactersSystemdCannotStart("/srv/a b/tollvane"), "");
    EXPECT_EQ(desktopentry::charactersSystemdCannotStart("/srv/$a\\b`c/tollvane"), "$`\\");
}

// "自动启动" through the real window, over autostart folders of its own.
struct StartWithSessionTest : FormFixture {
    QString systemEntry() const { return folder.file("xdg/autostart/Tollvane.desktop"); }
    QString userEntry() const { return folder.file("home/autostart/Tollvane.desktop"); }
    QString expected() const {
        return desktopentry::content(folder.file("tollvane"), folder.file("tollvane.svg"), true);
    }
    QString entry(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void put(const QString& path, const QString& text) const {
        QDir().mkpath(QFileInfo(path).path());
        folder.write(QDir(folder.path()).relativeFilePath(path), text.toUtf8());
    }
};

TEST_F(StartWithSessionTest, TickingWritesTheMachineWideEntryOnceAndUntickingRemovesIt) {
    TForm1& f = start();
    f.chk2->setChecked(true);
    EXPECT_EQ(entry(systemEntry()), expected());
    EXPECT_TRUE(entry(systemEntry()).contains("X-GNOME-Autostart-enabled=true"));
    EXPECT_EQ(setting("Auto_Run"), 1);
    EXPECT_EQ(log.of("autostart-on"), QStringList{systemEntry()});

    f.chk2->setChecked(false);
    EXPECT_FALSE(QFile::exists(systemEntry()));
    EXPECT_EQ(setting("Auto_Run"), 0);
    EXPECT_EQ(log.of("autostart-off"), QStringList{systemEntry()});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(StartWithSessionTest, AnEntryThatIsAlreadyRightIsLeftUntouched) {
    put(systemEntry(), expected());
    QFile file(systemEntry());
    file.open(QIODevice::ReadWrite);
    const QDateTime old = QDateTime(QDate(2020, 1, 1), QTime(0, 0));
    file.setFileTime(old, QFileDevice::FileModificationTime);
    file.close();
    writeConfig("[Set]\nAuto_Run=1\n");
    start();
    EXPECT_EQ(QFileInfo(systemEntry()).lastModified(), old);
    EXPECT_EQ(setting("Auto_Run"), 1);
}

TEST_F(StartWithSessionTest, StartUpRewritesAnEntryLeftByAMovedFolderAndDropsADisablingOverride) {
    put(systemEntry(), "[Desktop Entry]\nType=Application\nName=Tollvane\nExec=/old/tollvane\n");
    put(userEntry(), "[Desktop Entry]\nType=Application\nName=Tollvane\nHidden=true\n");
    writeConfig("[Set]\nAuto_Run=1\n");
    TForm1& f = start();
    EXPECT_TRUE(f.chk2->isChecked());
    EXPECT_EQ(entry(systemEntry()), expected());
    EXPECT_FALSE(QFile::exists(userEntry()));  // it would have kept the program from starting
}

TEST_F(StartWithSessionTest, AnUnwritableMachineWideFolderFallsBackToTheUsersOwn) {
    folder.write("xdg", "a file where the folder should be");
    TForm1& f = start();
    f.chk2->setChecked(true);
    EXPECT_EQ(entry(userEntry()), expected());
    EXPECT_EQ(setting("Auto_Run"), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    f.chk2->setChecked(false);
    EXPECT_FALSE(QFile::exists(userEntry()));
    EXPECT_EQ(setting("Auto_Run"), 0);
}

TEST_F(StartWithSessionTest, NeitherFolderWritableSaysSoAndLeavesTheSettingAlone) {
    folder.write("xdg", "not a folder");
    folder.write("home", "not a folder either");
    TForm1& f = start();
    f.chk2->setChecked(true);
    EXPECT_EQ(dialogs.messages, QStringList{"加载自启动程序失败！"});
    EXPECT_EQ(setting("Auto_Run"), -99);
    EXPECT_TRUE(f.chk2->isChecked());  // the box keeps the user's state
    f.chk2->setChecked(false);         // nothing to remove: silent
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(setting("Auto_Run"), 0);
}

TEST_F(StartWithSessionTest, APathSomeSessionsCannotStartIsNamedInANotice) {
    XdgAutostart autostart(folder.file("xdg/autostart"), folder.file("home/autostart"));
    IniFile ini(folder.file("config.ini"));
    StartWithSession box(autostart, ini, dialogs, log.log, "/srv/铃$声\\/tollvane", "/x.svg");
    box.chk2Click(true);
    EXPECT_EQ(dialogs.notices, QStringList{StartWithSession::unsafePathText("$\\")});
    EXPECT_TRUE(dialogs.notices.front().contains("“$”、“\\”"));
    EXPECT_EQ(ini.readInteger("Set", "Auto_Run", -1), 1);  // written all the same: GLib starts it
}

TEST_F(StartWithSessionTest, TheProgramFolderCarriesItsMenuEntry) {
    start();
    EXPECT_EQ(folder.read("Tollvane.desktop"),
              desktopentry::content(folder.file("tollvane"), folder.file("tollvane.svg"), false)
                  .toUtf8());
}

}  // namespace
