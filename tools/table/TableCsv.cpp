#include "table/TableCsv.h"

#include <map>

#include "table/Csv.h"

namespace tablecsv {

QStringList header() {
    return schedule::allFields().mid(1);
}

QString write(const std::vector<ScheduleRow>& rows) {
    QString out = csv::formatRecord(header());
    for (const ScheduleRow& row : rows) {
        QStringList fields{QString::number(row.hour), QString::number(row.minute),
                           QString::number(row.second), row.event, row.sound};
        for (bool day : row.days) {
            fields << (day ? QStringLiteral("1") : QStringLiteral("0"));
        }
        out += csv::formatRecord(fields);
    }
    return out;
}

namespace {

bool readNumber(const QString& text, int low, int high, int& out) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high) {
        return false;
    }
    out = value;
    return true;
}

bool readDay(const QString& text, bool& out) {
    const QString t = text.trimmed();
    if (t == QLatin1String("1") || t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        out = true;
        return true;
    }
    if (t == QLatin1String("0") || t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        out = false;
        return true;
    }
    return false;
}

}  // namespace

Parsed read(const QString& input) {
    Parsed result;
    QString text = input;
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    std::vector<csv::Record> records;
    try {
        records = csv::parse(text);
    } catch (const csv::ParseError& e) {
        result.errors << QStringLiteral("第 %1 行：引号没有闭合").arg(e.line);
        return result;
    }
    if (records.empty() || records.front().fields != header()) {
        result.errors
            << QStringLiteral("第 1 行：表头应为 %1").arg(header().join(QLatin1Char(',')));
        return result;
    }
    const QStringList names = header();
    std::map<int, int> seen;  // time of day -> line
    for (size_t r = 1; r < records.size(); ++r) {
        const csv::Record& rec = records[r];
        auto fault = [&](const QString& why) {
            result.errors << QStringLiteral("第 %1 行：%2").arg(rec.line).arg(why);
        };
        if (rec.fields.size() != names.size()) {
            fault(QStringLiteral("应有 %1 个字段，实有 %2 个")
                      .arg(names.size())
                      .arg(rec.fields.size()));
            continue;
        }
        ScheduleRow row;
        bool good = true;
        const int limits[] = {23, 59, 59};
        int* targets[] = {&row.hour, &row.minute, &row.second};
        for (int i = 0; i < 3; ++i) {
            if (!readNumber(rec.fields[i], 0, limits[i], *targets[i])) {
                fault(QStringLiteral("“%1”应为 0 到 %2 的整数，实为“%3”")
                          .arg(names[i])
                          .arg(limits[i])
                          .arg(rec.fields[i]));
                good = false;
            }
        }
        row.event = rec.fields[3];
        row.sound = rec.fields[4];
        for (int i : {3, 4}) {
            if (rec.fields[i].trimmed().isEmpty()) {
                fault(QStringLiteral("“%1”不能为空").arg(names[i]));
                good = false;
            } else if (schedule::hasControlCharacter(rec.fields[i])) {
                fault(QStringLiteral("“%1”不能含有换行、制表符等控制字符").arg(names[i]));
                good = false;
            }
        }
        for (int d = 0; d < 7; ++d) {
            if (!readDay(rec.fields[5 + d], row.days[static_cast<size_t>(d)])) {
                fault(QStringLiteral("“%1”应为 1、0、True 或 False，实为“%2”")
                          .arg(names[5 + d], rec.fields[5 + d]));
                good = false;
            }
        }
        if (!good) {
            continue;
        }
        const auto [it, fresh] = seen.emplace(row.timeOfDay(), rec.line);
        if (!fresh) {
            fault(QStringLiteral("时间 %1:%2:%3 与第 %4 行重复")
                      .arg(row.hour)
                      .arg(row.minute, 2, 10, QLatin1Char('0'))
                      .arg(row.second, 2, 10, QLatin1Char('0'))
                      .arg(it->second));
            continue;
        }
        result.rows.push_back(std::move(row));
    }
    return result;
}

}  // namespace tablecsv
