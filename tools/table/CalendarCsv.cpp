#include "table/CalendarCsv.h"

#include <QRegularExpression>
#include <algorithm>
#include "schedule/ScheduleRow.h"

#include "table/Csv.h"

namespace calendarcsv {

namespace {

using Kind = CalendarEntry::Kind;

QString lineError(int line, const QString& what) {
    return QStringLiteral("第 %1 行：%2").arg(line).arg(what);
}

// A date written YYYY-MM-DD that exists; an invalid date otherwise.
QDate dateFrom(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    return form.match(text).hasMatch() ? QDate::fromString(text, Qt::ISODate) : QDate();
}

}  // namespace

QStringList header() {
    return {QStringLiteral("类型"),   QStringLiteral("开始"),     QStringLiteral("结束"),
            QStringLiteral("按星期"), QStringLiteral("运行模式"), QStringLiteral("说明")};
}

QString write(const std::vector<CalendarEntry>& entries) {
    QString text = csv::formatRecord(header());
    for (const CalendarEntry& e : entries) {
        text += csv::formatRecord(
            {CalendarEntry::kindText(e.kind), e.from.toString(Qt::ISODate),
             e.kind == Kind::Holiday && e.to != e.from ? e.to.toString(Qt::ISODate) : QString(),
             e.weekday > 0 ? QString::number(e.weekday) : QString(),
             CalendarEntry::runModeText(e.runMode), e.note});
    }
    return text;
}

Parsed read(const QString& input) {
    Parsed parsed;
    std::vector<csv::Record> records;
    try {
        records = csv::parse(input);
    } catch (const csv::ParseError& e) {
        parsed.errors << lineError(e.line, QString::fromStdString(e.what()));
        return parsed;
    }
    if (records.empty() || records.front().fields != header()) {
        parsed.errors << lineError(records.empty() ? 1 : records.front().line,
                                   QStringLiteral("表头应为 %1").arg(header().join(',')));
        return parsed;
    }
    std::vector<int> lines;
    for (size_t i = 1; i < records.size(); ++i) {
        const csv::Record& r = records[i];
        auto refuse = [&](const QString& why) { parsed.errors << lineError(r.line, why); };
        if (r.fields.size() != 6) {
            refuse(QStringLiteral("应有 6 个字段，实有 %1 个").arg(r.fields.size()));
            continue;
        }
        const QStringList f = r.fields;
        const auto kind = CalendarEntry::kindFrom(f[0].trimmed());
        if (!kind) {
            refuse(QStringLiteral("类型应为 放假、调休 或 作息切换"));
            continue;
        }
        CalendarEntry e;
        e.kind = *kind;
        e.from = dateFrom(f[1].trimmed());
        e.to = f[2].trimmed().isEmpty() ? e.from : dateFrom(f[2].trimmed());
        if (!e.from.isValid() || !e.to.isValid()) {
            refuse(QStringLiteral("日期不存在或不是 YYYY-MM-DD 的写法"));
            continue;
        }
        if (!f[3].trimmed().isEmpty()) {
            bool ok = false;
            e.weekday = f[3].trimmed().toInt(&ok);
            if (!ok || e.weekday < 1 || e.weekday > 7) {
                refuse(QStringLiteral("按星期应为 1 到 7"));
                continue;
            }
        }
        if (!f[4].trimmed().isEmpty()) {
            e.runMode = CalendarEntry::runModeFrom(f[4].trimmed());
            if (e.runMode == 0) {
                refuse(QStringLiteral("运行模式应为 夏季 或 冬季"));
                continue;
            }
        }
        e.note = f[5].trimmed();
        if (schedule::hasControlCharacter(e.note)) {
            refuse(QStringLiteral("说明里不能有换行、制表符等控制字符"));
            continue;
        }
        parsed.entries.push_back(e);
        lines.push_back(r.line);
    }
    std::vector<std::pair<int, QString>> found;
    for (const SchoolCalendar::Problem& p : SchoolCalendar::check(parsed.entries)) {
        found.emplace_back(lines[p.index], lineError(lines[p.index], p.reason));
    }
    for (const QString& e : parsed.errors) {  // already in line order
        found.emplace_back(e.section(QLatin1Char(' '), 1, 1).toInt(), e);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    parsed.errors.clear();
    for (const auto& [line, text] : found) {
        parsed.errors << text;
    }
    if (!parsed.errors.isEmpty()) {
        parsed.entries.clear();
    }
    return parsed;
}

}  // namespace calendarcsv
