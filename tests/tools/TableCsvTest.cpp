#include "table/TableCsv.h"

#include <gtest/gtest.h>

#include "schedule/ScheduleFixture.h"
#include "table/CalendarCsv.h"
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

// Calendar files are taken whole or not at all; each bad entry is named with its line.
TEST(CalendarCsvTest, RefusalsNameTheLineAndKeepNothing) {
    const QString head = QStringLiteral("类型,开始,结束,按星期,运行模式,说明\n");
    const QString holiday = QStringLiteral("放假,2026-10-01,2026-10-07,,,国庆节\n");
    const struct {
        QString rows;
        QString error;
    } cases[] = {
        {holiday + "放假,2026-10-07,2026-10-09,,,\n",
         "第 3 行：与另一个放假（2026-10-01 至 2026-10-07 放假（国庆节））重叠"},
        {holiday + "调休,2026-10-05,,6,,\n",
         "第 3 行：调休日在放假期间（2026-10-01 至 2026-10-07 放假（国庆节））"},
        {"调休,2026-10-05,,6,,\n" + holiday,
         "第 3 行：放假期间有调休日（2026-10-05 调休，按星期六作息）"},
        {"放假,2026-02-29,,,,\n", "第 2 行：日期不存在或不是 YYYY-MM-DD 的写法"},
        {"放假,2026-10-1,,,,\n", "第 2 行：日期不存在或不是 YYYY-MM-DD 的写法"},
        {"调休,2026-10-10,,0,,\n", "第 2 行：按星期应为 1 到 7"},
        {"调休,2026-10-10,,8,,\n", "第 2 行：按星期应为 1 到 7"},
        {"调休,2026-10-10,,,,\n", "第 2 行：调休要写按星期几作息（1 到 7）"},
        {"作息切换,2026-10-08,,,秋季,\n", "第 2 行：运行模式应为 夏季 或 冬季"},
        {"放假,2026-10-08,2026-10-07,,,\n", "第 2 行：放假的结束日期早于开始日期"},
        {"开学,2026-09-01,,,,\n", "第 2 行：类型应为 放假、调休 或 作息切换"},
    };
    for (const auto& c : cases) {
        const calendarcsv::Parsed parsed = calendarcsv::read(head + c.rows);
        EXPECT_EQ(parsed.errors, QStringList{c.error}) << c.rows.toStdString();
        EXPECT_TRUE(parsed.entries.empty());
    }
    const calendarcsv::Parsed good =
        calendarcsv::read(head + holiday + "调休,2026-10-10,,5,,国庆调休\n");
    ASSERT_TRUE(good.errors.isEmpty());
    EXPECT_EQ(calendarcsv::write(good.entries), head + holiday + "调休,2026-10-10,,5,,国庆调休\n");
}

}  // namespace
