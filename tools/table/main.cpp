// tollvane-table: makes, imports, exports and lists timetable tables, so a school can prepare
// its timetables in a spreadsheet and share them between bell PCs.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "core/AppError.h"
#include "schedule/ScheduleDb.h"
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
        "  tollvane-table export TABLE_FILE             把时间表以 CSV 写到标准输出\n"
        "  tollvane-table export --excel TABLE_FILE     同上，带 BOM 和 CRLF，供 Excel 打开\n"
        "  tollvane-table list TABLE_FILE               列出时间表"));
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

int importCsv(const QString& table, const QString& csvPath) {
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("无法读取 CSV 文件：%1（%2）").arg(csvPath, file.errorString()));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    if (const QString refusal = csvencoding::workbookRefusal(csvPath, bytes); !refusal.isEmpty()) {
        err(refusal);
        err(QStringLiteral("时间表没有改动：%1").arg(table));
        return 1;
    }
    const csvencoding::Decoded decoded = csvencoding::decode(bytes);
    err(QStringLiteral("按 %1 编码读取 %2").arg(decoded.encoding, csvPath));
    const tablecsv::Parsed parsed = tablecsv::read(decoded.text);
    if (!parsed.errors.isEmpty()) {
        for (const QString& e : parsed.errors) {
            err(QStringLiteral("%1：%2").arg(csvPath, e));
        }
        err(QStringLiteral("时间表没有改动：%1").arg(table));
        return 1;
    }
    ScheduleDb(table).replaceAll(parsed.rows);
    err(QStringLiteral("已导入 %1 个事件到 %2").arg(parsed.rows.size()).arg(table));
    return 0;
}

int list(const QString& table) {
    for (const ScheduleRow& row : ScheduleDb(table).rows()) {
        QString days;
        for (int d = 0; d < 7; ++d) {
            days += row.days[static_cast<size_t>(d)] ? tod::dayChar(d + 1) : QStringLiteral("－");
        }
        out(QStringLiteral("%1:%2:%3  %4  %5  %6\n")
                .arg(row.hour, 2, 10, QLatin1Char('0'))
                .arg(row.minute, 2, 10, QLatin1Char('0'))
                .arg(row.second, 2, 10, QLatin1Char('0'))
                .arg(days, row.event, row.sound));
    }
    return 0;
}

int run(const QStringList& args) {
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
