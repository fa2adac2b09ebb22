#include "table/TableCsv.h"

#include <gtest/gtest.h>

#include "schedule/ScheduleFixture.h"
#include "table/Csv.h"
#include "table/CsvEncoding.h"

#include <QStringEncoder>

namespace {

const QString kHeader = "时,分,秒,事件,声音文件,周一,周二,周三,周四,周五,周六,周日\n";

ScheduleRow row(int h, int m, int s, const QString& event, const QString& sound) {
    return makeRow(h, m, s, event, sound, {true, true, true, true, true, false, false});
}

TEST(CsvTest, QuotingWorksBothWays) {
    const QStringList fields{"plain", "a,b", "say \"hi\"", "two\nlines", " padded ", ""};
    const QString line = csv::formatRecord(fields);
    EXPECT_EQ(line, "plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\" padded \",\n");
    const auto records = csv::parse(line + "x,y\r\n\r\n\"\"\n");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fields, fields);
    EXPECT_EQ(records[1].fields, (QStringList{"x", "y"}));
    EXPECT_EQ(records[1].line, 3);  // the quoted line break counts
    EXPECT_EQ(records[2].fields, QStringList{""});
    EXPECT_THROW(csv::parse("a,\"open\nb\n"), csv::ParseError);
}

TEST(TableCsvTest, RoundTripKeepsPathsWithChineseSpacesAndCommas) {
    const std::vector<ScheduleRow> rows{
        row(7, 50, 0, "预备铃", "/home/bell/音乐/上课 铃声.mp3"),
        row(8, 0, 0, "上课, 第一节", "/home/bell/My \"Best\" Music/a,b.wav"),
        row(12, 30, 15, "午休 安静", "随机音乐")};
    const QString text = tablecsv::write(rows);
    EXPECT_TRUE(text.startsWith(kHeader));
    const tablecsv::Parsed parsed = tablecsv::read(text);
    ASSERT_TRUE(parsed.errors.isEmpty()) << parsed.errors.join("\n").toStdString();
    EXPECT_EQ(parsed.rows, rows);
    EXPECT_EQ(tablecsv::write(parsed.rows), text);
}

TEST(TableCsvTest, AcceptsTrueFalseCellsAndABom) {
    const auto parsed =
        tablecsv::read(QChar(0xFEFF) + kHeader + "8,0,0,上课,/a.mp3,True,false,1,0,TRUE,False,0\n");
    ASSERT_TRUE(parsed.errors.isEmpty());
    ASSERT_EQ(parsed.rows.size(), 1u);
    const std::array<bool, 7> expected{true, false, true, false, true, false, false};
    EXPECT_EQ(parsed.rows[0].days, expected);
}

TEST(TableCsvTest, EveryBadRowIsReportedWithItsLineNumber) {
    const QString text =
        kHeader +
        "8,0,0,上课,/a.mp3,1,1,1,1,1,0,0\n"                       // line 2: good
        "24,0,0,上课,/a.mp3,1,1,1,1,1,0,0\n"                      // 3: hour out of range
        "9,60,0,上课,/a.mp3,1,1,1,1,1,0,0\n"                      // 4: minute out of range
        "9,0,x,上课,/a.mp3,1,1,1,1,1,0,0\n"                       // 5: not a number
        "8,0,0,again,/b.mp3,1,1,1,1,1,0,0\n"                      // 6: repeats line 2's time
        "10,0,0,,/a.mp3,1,1,1,1,1,0,0\n"                          // 7: no event name
        "11,0,0,上课,/a.mp3,1,1,1,1,1,0\n"                        // 8: a field short
        "12,0,0,上课,/a.mp3,yes,1,1,1,1,0,0\n"                    // 9: bad weekday cell
        "13,0,0,上课,,1,1,1,1,1,0,0\n"                            // 10: no sound
        "14,0,0,\"上课\n14:00 shutdown\",/a.mp3,1,1,1,1,1,0,0\n"  // 11: a line break
        "15,0,0,上课,/a\tb.mp3,1,1,1,1,1,0,0\n";                  // 13: a tab
    const auto parsed = tablecsv::read(text);
    const QStringList& e = parsed.errors;
    ASSERT_EQ(e.size(), 10) << e.join("\n").toStdString();
    const char* starts[] = {"第 3 行", "第 4 行", "第 5 行",  "第 6 行",  "第 7 行",
                            "第 8 行", "第 9 行", "第 10 行", "第 11 行", "第 13 行"};
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(e[i].startsWith(QString::fromUtf8(starts[i]))) << e[i].toStdString();
    }
    EXPECT_TRUE(e[3].contains("第 2 行"));
}

TEST(TableCsvTest, AWrongHeaderIsRefused) {
    EXPECT_FALSE(tablecsv::read("hour,minute\n8,0\n").errors.isEmpty());
    EXPECT_FALSE(tablecsv::read("").errors.isEmpty());
    EXPECT_TRUE(tablecsv::read(kHeader).errors.isEmpty());
}

}  // namespace

namespace {

TEST(CsvEncodingTest, SpreadsheetEncodingsReadAlikeAndWorkbooksAreRefused) {
    const QString text = kHeader + "8,0,0,上课 铃,/home/bell/音乐/上课.mp3,1,1,1,1,1,0,0\n";
    QStringEncoder gbk("GB18030");
    ASSERT_TRUE(gbk.isValid());
    QString crlf = text;
    crlf.replace("\n", "\r\n");
    const struct {
        const char* name;
        QByteArray bytes;
        QString encoding;
    } files[] = {
        {"UTF-8", text.toUtf8(), "UTF-8"},
        {"UTF-8 with BOM and CRLF", "\xEF\xBB\xBF" + crlf.toUtf8(), "UTF-8（带 BOM）"},
        {"GBK with CRLF", gbk.encode(crlf), "GB18030"},
        {"Excel export", csvencoding::forExcel(text), "UTF-8（带 BOM）"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const csvencoding::Decoded decoded = csvencoding::decode(f.bytes);
        EXPECT_EQ(decoded.encoding, f.encoding);
        const tablecsv::Parsed parsed = tablecsv::read(decoded.text);
        ASSERT_TRUE(parsed.errors.isEmpty()) << parsed.errors.join("\n").toStdString();
        ASSERT_EQ(parsed.rows.size(), 1u);
        EXPECT_EQ(parsed.rows[0].event, "上课 铃");
        EXPECT_EQ(parsed.rows[0].sound, "/home/bell/音乐/上课.mp3");
    }
    EXPECT_TRUE(csvencoding::forExcel("a\nb\n").endsWith("a\r\nb\r\n"));

    EXPECT_FALSE(csvencoding::workbookRefusal("课表.xlsx", "PK\x03\x04...").isEmpty());
    EXPECT_FALSE(csvencoding::workbookRefusal("课表.csv", "PK\x03\x04...").isEmpty());
    EXPECT_FALSE(
        csvencoding::workbookRefusal("课表.et", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
            .isEmpty());
    EXPECT_FALSE(csvencoding::workbookRefusal("课表.XLS", "").isEmpty());
    EXPECT_TRUE(csvencoding::workbookRefusal("课表.csv", text.toUtf8()).isEmpty());
}

}  // namespace
