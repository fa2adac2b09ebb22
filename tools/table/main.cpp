// tollvane-table: makes, imports, exports and lists timetable tables, so a school can prepare
// its timetables in a spreadsheet and share them between bell PCs.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "calendar/CalendarStore.h"
#include "core/AppError.h"
#include "core/NativePath.h"
#include "core/ProgramFolder.h"
#include "schedule/ScheduleDb.h"
#include "table/Bundle.h"
#include "table/CalendarCsv.h"
#include "table/CsvEncoding.h"
#include "table/TableCsv.h"

namespace {

void err(const QString& text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fputc('\n', stderr);
}

void out(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void out(const QString& text) {
    out(text.toUtf8());
}

int usage() {
    err(QStringLiteral(
        "用法:\n"
        "  tollvane-table init DATA_DIR                 在 DATA_DIR 中建立五个空时间表\n"
        "  tollvane-table create TABLE_FILE             建立一个空时间表\n"
        "  tollvane-table import TABLE_FILE CSV_FILE    用 CSV 文件的内容替换时间表\n"
        "  tollvane-table publish PROGRAM_FOLDER OUT_FOLDER   "
        "把全校的时间表、校历和声音发布到文件夹\n"
        "  tollvane-table export TABLE_FILE             把时间表以 CSV 写到标准输出\n"
        "  tollvane-table export --excel TABLE_FILE     同上，带 BOM 和 CRLF，供 Excel 打开\n"
        "  tollvane-table list TABLE_FILE               列出时间表\n"
        "  tollvane-table calendar import CALENDAR_FILE CSV_FILE   用 CSV 文件替换校历\n"
        "  tollvane-table calendar export CALENDAR_FILE            把校历以 CSV 写到标准输出\n"
        "  tollvane-table calendar list CALENDAR_FILE              列出校历\n"
        "  （校历文件在程序文件夹的 Data/calendar.dat）"));
    return 2;
}

int init(const QString& dataDir) {
    const QDir dir(dataDir);
    QStringList existing;
    for (const QString& name : schedule::kTableNames) {
        if (QFileInfo::exists(dir.filePath(name))) {
            existing << dir.filePath(name);
        }
    }
    if (!existing.isEmpty()) {
        for (const QString& path : existing) {
            err(QStringLiteral("时间表文件已存在，不会覆盖：%1").arg(path));
        }
        return 1;
    }
    if (!dir.mkpath(QStringLiteral("."))) {
        err(QStringLiteral("无法建立文件夹：%1").arg(dataDir));
        return 1;
    }
    for (const QString& name : schedule::kTableNames) {
        ScheduleDb::create(dir.filePath(name));
    }
    return 0;
}

// The program folder a table belongs to: the tables live in its Data/ folder.
QString folderOf(const QString& table) {
    return QDir::cleanPath(QFileInfo(table).absoluteDir().filePath(QStringLiteral("..")));
}

// True when a row names a sound file that is not there (read as the program reads it).
bool soundMissing(const QString& folder, const QString& sound) {
    if (sound.isEmpty() || sound == schedule::kRandomMusic) {
        return false;
    }
    return !nativepath::isFile(programfolder::resolve(folder, sound));
}

// Says every fault of a refused import and that `unchanged` was left as it was; the exit code.
int refuse(const QString& csvPath, const QStringList& errors, const QString& unchanged) {
    for (const QString& e : errors) {
        err(csvPath.isEmpty() ? e : QStringLiteral("%1：%2").arg(csvPath, e));
    }
    err(unchanged);
    return 1;
}

// The text of a CSV file in the encodings spreadsheets write, or nothing (said) when it cannot be
// read or is a workbook; `unchanged` names what is left as it was.
std::optional<QString> readCsv(const QString& csvPath, const QString& unchanged) {
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("无法读取 CSV 文件：%1（%2）").arg(csvPath, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (const QString refusal = csvencoding::workbookRefusal(csvPath, bytes); !refusal.isEmpty()) {
        refuse({}, {refusal}, unchanged);
        return std::nullopt;
    }
    const csvencoding::Decoded decoded = csvencoding::decode(bytes);
    err(QStringLiteral("按 %1 编码读取 %2").arg(decoded.encoding, csvPath));
    return decoded.text;
}

int importCalendar(const QString& calendar, const QString& csvPath) {
    const QString unchanged = QStringLiteral("校历没有改动：%1").arg(calendar);
    const std::optional<QString> text = readCsv(csvPath, unchanged);
    if (!text) {
        return 1;
    }
    const calendarcsv::Parsed parsed = calendarcsv::read(*text);
    if (!parsed.errors.isEmpty()) {
        return refuse(csvPath, parsed.errors, unchanged);
    }
    calendarstore::save(calendar, parsed.entries);
    err(QStringLiteral("已导入 %1 条校历到 %2").arg(parsed.entries.size()).arg(calendar));
    return 0;
}

int calendarCommand(const QStringList& args) {
    if (args.size() == 3 && args[0] == QLatin1String("import")) {
        return importCalendar(args[1], args[2]);
    }
    if (args.size() == 2 && args[0] == QLatin1String("export")) {
        out(calendarcsv::write(calendarstore::load(args[1])));
        return 0;
    }
    if (args.size() == 2 && args[0] == QLatin1String("list")) {
        for (const CalendarEntry& e : calendarstore::load(args[1])) {
            out(e.describe() + QLatin1Char('\n'));
        }
        return 0;
    }
    return usage();
}

int importCsv(const QString& table, const QString& csvPath) {
    const QString unchanged = QStringLiteral("时间表没有改动：%1").arg(table);
    const std::optional<QString> text = readCsv(csvPath, unchanged);
    if (!text) {
        return 1;
    }
    const tablecsv::Parsed parsed = tablecsv::read(*text);
    if (!parsed.errors.isEmpty()) {
        return refuse(csvPath, parsed.errors, unchanged);
    }
    ScheduleDb(table).replaceAll(parsed.rows);
    err(QStringLiteral("已导入 %1 个事件到 %2").arg(parsed.rows.size()).arg(table));
    const QString folder = folderOf(table);
    const auto missing =
        std::count_if(parsed.rows.begin(), parsed.rows.end(),
                      [&](const ScheduleRow& r) { return soundMissing(folder, r.sound); });
    if (missing > 0) {
        err(QStringLiteral("其中 %1 个事件的声音文件不存在（在 %2 里找不到，已照样导入）")
                .arg(missing)
                .arg(folder));
    }
    return 0;
}

int list(const QString& table) {
    const QString folder = folderOf(table);
    for (const ScheduleRow& row : ScheduleDb(table).rows()) {
        QString days;
        for (int d = 0; d < 7; ++d) {
            days += row.days[static_cast<size_t>(d)] ? tod::dayChar(d + 1) : QStringLiteral("－");
        }
        out(QStringLiteral("%1:%2:%3  %4  %5  %6%7\n")
                .arg(row.hour, 2, 10, QLatin1Char('0'))
                .arg(row.minute, 2, 10, QLatin1Char('0'))
                .arg(row.second, 2, 10, QLatin1Char('0'))
                .arg(days, row.event, row.sound,
                     soundMissing(folder, row.sound) ? QStringLiteral("  （文件不存在）")
                                                     : QString()));
    }
    return 0;
}

int publish(const QString& folder, const QString& out) {
    const bundle::Published published = bundle::publish(folder, out);
    for (const QString& warning : published.warnings) {
        err(QStringLiteral("警告：") + warning);
    }
    err(QStringLiteral("已发布版本 %1（%2 个文件）到 %3")
            .arg(published.version)
            .arg(published.files.size())
            .arg(out));
    return 0;
}

int run(const QStringList& args) {
    if (args.size() == 3 && args[0] == QLatin1String("publish")) {
        return publish(args[1], args[2]);
    }
    if (args.size() == 2 && args[0] == QLatin1String("init")) {
        return init(args[1]);
    }
    if (args.size() == 2 && args[0] == QLatin1String("create")) {
        ScheduleDb::create(args[1]);
        return 0;
    }
    if (args.size() == 3 && args[0] == QLatin1String("import")) {
        return importCsv(args[1], args[2]);
    }
    if (args.size() == 2 && args[0] == QLatin1String("export")) {
        out(tablecsv::write(ScheduleDb(args[1]).rows()));
        return 0;
    }
    if (args.size() == 3 && args[0] == QLatin1String("export") &&
        args[1] == QLatin1String("--excel")) {
        out(csvencoding::forExcel(tablecsv::write(ScheduleDb(args[2]).rows())));
        return 0;
    }
    if (args.size() == 2 && args[0] == QLatin1String("list")) {
        return list(args[1]);
    }
    if (!args.isEmpty() && args[0] == QLatin1String("calendar")) {
        return calendarCommand(args.mid(1));
    }
    return usage();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        return run(app.arguments().mid(1));
    } catch (const AppError& e) {
        err(e.text());
        return 1;
    }
}
