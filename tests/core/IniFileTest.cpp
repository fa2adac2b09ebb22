#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QStringEncoder>

#include "TempDir.h"
#include "core/AppError.h"

namespace {

struct IniFileTest : ::testing::Test {
    TempDir dir;
    QString path = dir.file("config.ini");
    IniFile ini{path};
    int read(const char* key, int fallback = 0) {
        return ini.readInteger("Set", QString::fromLatin1(key), fallback);
    }
};

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsTheDefault) {
    EXPECT_EQ(read("RunMode", 7), 7);
    dir.write("config.ini", "[Other]\nRunMode=2\n[Set]\nWeather=1\n");
    EXPECT_EQ(read("RunMode", 4), 4);
    EXPECT_EQ(read("Weather"), 1);
    EXPECT_EQ(IniFile(dir.file("no/such/folder/config.ini")).readInteger("Set", "A", 3), 3);
}

TEST_F(IniFileTest, IntegerForms) {
    dir.write("config.ini",
              "[Set]\nA=letters\nB=0x2\nC=-1\nD=0X1f\nE=0x\nF=12abc\nG=  42  \nH=\n"
              "I=0xFFFFFFFF\nJ=99999999999\n");
    EXPECT_EQ(read("A", 5), 5);
    EXPECT_EQ(read("B"), 2);
    EXPECT_EQ(read("C"), -1);
    EXPECT_EQ(read("D"), 31);
    EXPECT_EQ(read("E", 9), 9);  // "0x" alone is not hexadecimal and not decimal
    EXPECT_EQ(read("F", 9), 9);
    EXPECT_EQ(read("G"), 42);
    EXPECT_EQ(read("H", 9), 9);
    EXPECT_EQ(read("I"), -1);
    EXPECT_EQ(read("J", 9), 9);
}

TEST_F(IniFileTest, NamesMatchWithoutRegardToCaseInReadsAndWrites) {
    dir.write("config.ini", "[set]\nauto_play=1\n");
    EXPECT_EQ(ini.readInteger("Set", "Auto_Play", 0), 1);
    ini.writeInteger("SET", "AUTO_PLAY", 0);
    EXPECT_EQ(dir.read("config.ini"), "[set]\nauto_play=0\n");
}

TEST_F(IniFileTest, TolerantOfBadInput) {
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 7919) % 256);
    }
    dir.write("config.ini", garbage + "\n[Set]\nRunMode=2\n");
    EXPECT_EQ(read("RunMode"), 2);

    dir.write("config.ini",
              "\xEF\xBB\xBF[Set]\nno equals sign\n  Weather  =  1  \nWeather=0\n=5\n" +
                  QByteArray(100000, 'x') + "\nMiniRun=1\n");
    EXPECT_EQ(read("Weather"), 1);  // blanks trimmed; the first of a repeated key counts
    EXPECT_EQ(read("MiniRun"), 1);  // a very long line is skipped over
}

QByteArray utf16(const char* utf8, bool bigEndian = false) {
    QStringEncoder encode(bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE,
                          QStringConverter::Flag::WriteBom);
    return encode(QString::fromUtf8(utf8));
}

// Files edited by hand or copied from old machines: quotes, comments, the three line breaks and
// Notepad's UTF-16 "Unicode" files.
TEST_F(IniFileTest, ReadsHandEditedFilesAsTheSystemReaderDoes) {
    const struct {
        QByteArray file;
        int expected;
    } cases[] = {
        {"[Set]\nRunMode=\"2\"\n", 2},
        {"[Set]\nRunMode = ' 2 ' \n", 2},
        {"[Set]\nRunMode=\"2'\n", 9},           // unmatched quotes: not a number
        {"[Set]\nRunMode=2 ; summer\n", 9},     // no comments after a value
        {"[Set]\n;RunMode=1\nRunMode=2\n", 2},  // a commented-out key is not the first one
        {";[Set]\nRunMode=1\n[Set]\nRunMode=2\n", 2},
        {"[Set]\rWeather=1\rRunMode=2\r", 2},  // old Mac line breaks
        {"[Set]\r\nRunMode=2", 2},             // no break after the last line
        {"\t[ Set ]\t\n\t RunMode\t=\t2\t\n", 2},
        {utf16("[Set]\r\nRunMode=2"), 2},
        {utf16("[Set]\nRunMode=2", true), 2},
    };
    for (const auto& c : cases) {
        dir.write("config.ini", c.file);
        EXPECT_EQ(read("RunMode", 9), c.expected) << c.file.toHex(' ').toStdString();
    }
}

TEST_F(IniFileTest, WriteKeepsTheFilesLineBreaksAndUtf16) {
    dir.write("config.ini", "[Set]\rRunMode=1\r");
    ini.writeInteger("Set", "Weather", 1);
    EXPECT_EQ(dir.read("config.ini"), "[Set]\rRunMode=1\rWeather=1\r");

    dir.write("config.ini", utf16("; 铃声\r\n[Set]\r\nRunMode=1\r\n"));
    ini.writeInteger("Set", "RunMode", 2);
    EXPECT_EQ(dir.read("config.ini"), utf16("; 铃声\r\n[Set]\r\nRunMode=2\r\n"));
    EXPECT_EQ(read("RunMode"), 2);
}

TEST_F(IniFileTest, WriteCreatesFileSectionAndKey) {
    ini.writeInteger("Set", "RunMode", 2);
    EXPECT_EQ(dir.read("config.ini"), "[Set]\nRunMode=2\n");
    ini.writeInteger("CloseTime", "Hour", 17);
    ini.writeInteger("Set", "Weather", 1);
    EXPECT_EQ(dir.read("config.ini"), "[Set]\nRunMode=2\nWeather=1\n[CloseTime]\nHour=17\n");
    EXPECT_EQ(ini.readInteger("CloseTime", "Hour", 0), 17);
}

TEST_F(IniFileTest, WriteReplacesOnlyThatValueAndKeepsEveryOtherLine) {
    const QByteArray before =
        "; school bell\r\n[Set]\r\nRunMode=1\r\nUnknown=abc\r\n\r\n[CloseTime]\r\nHour=5\r\n";
    dir.write("config.ini", before);
    ini.writeInteger("Set", "RunMode", 2);
    QByteArray expected = before;
    expected.replace("RunMode=1", "RunMode=2");
    EXPECT_EQ(dir.read("config.ini"), expected);

    ini.writeInteger("Set", "Weather", 1);  // new key goes after the section's last key
    expected.replace("Unknown=abc\r\n", "Unknown=abc\r\nWeather=1\r\n");
    EXPECT_EQ(dir.read("config.ini"), expected);
}

TEST_F(IniFileTest, WriteKeepsTheBomAndNothingIsCached) {
    dir.write("config.ini", "\xEF\xBB\xBFRunMode=9\n[Set]\nRunMode=1\n");
    ini.writeInteger("Set", "RunMode", 2);
    EXPECT_EQ(dir.read("config.ini"), "\xEF\xBB\xBFRunMode=9\n[Set]\nRunMode=2\n");
    dir.write("config.ini", "[Set]\nRunMode=0\n");  // changed from outside
    EXPECT_EQ(read("RunMode"), 0);
}

TEST_F(IniFileTest, RefusedWriteRaisesTheErrorWithTheFullPathAndKeepsTheOldFile) {
    dir.write("config.ini", "[Set]\nRunMode=1\n");
    if (::geteuid() == 0) {
        // root ignores permissions: make the folder unusable by replacing it with a file
        IniFile broken(dir.file("config.ini/config.ini"));
        try {
            broken.writeInteger("Set", "RunMode", 2);
            FAIL() << "write should fail";
        } catch (const AppError& e) {
            EXPECT_EQ(e.text(), "Unable to write to " + dir.file("config.ini/config.ini"));
        }
    } else {
        ::chmod(QFile::encodeName(dir.path()).constData(), 0500);
        EXPECT_THROW(ini.writeInteger("Set", "RunMode", 2), AppError);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    }
    EXPECT_EQ(dir.read("config.ini"), "[Set]\nRunMode=1\n");
}

TEST_F(IniFileTest, WriteLeavesNoTemporaryFilesBehind) {
    for (int i = 0; i < 20; ++i) {
        ini.writeInteger("Set", "RunMode", i);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"config.ini"});
    EXPECT_EQ(read("RunMode"), 19);
}

}  // namespace
