#include "table/Csv.h"

namespace csv {

std::vector<Record> parse(const QString& text) {
    std::vector<Record> records;
    Record record;
    QString field;
    bool quoted = false;     // inside a quoted field
    bool wasQuoted = false;  // the current field was quoted (so an empty line is a record)
    int line = 1;
    int quoteLine = 0;
    record.line = 1;

    auto endField = [&] {
        record.fields << field;
        field.clear();
    };
    auto endRecord = [&](int nextLine) {
        endField();
        const bool blank = record.fields.size() == 1 && record.fields[0].isEmpty() && !wasQuoted;
        if (!blank) {
            records.push_back(record);
        }
        record = Record{nextLine, {}};
        wasQuoted = false;
    };

    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n')) {
                    ++line;
                }
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty()) {
            quoted = true;
            wasQuoted = true;
            quoteLine = line;
        } else if (c == QLatin1Char(',')) {
            endField();
        } else if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) {
            // CR LF ends the record at the LF
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRecord(line);
        } else {
            field += c;
        }
    }
    if (quoted) {
        throw ParseError(quoteLine, "unclosed quote");
    }
    if (!field.isEmpty() || !record.fields.isEmpty() || wasQuoted) {
        endRecord(line);
    }
    return records;
}

QString formatRecord(const QStringList& fields) {
    QStringList out;
    for (const QString& f : fields) {
        const bool needsQuotes = f.contains(QLatin1Char(',')) || f.contains(QLatin1Char('"')) ||
                                 f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char('\r')) ||
                                 (!f.isEmpty() && (f.front().isSpace() || f.back().isSpace()));
        if (needsQuotes) {
            QString escaped = f;
            escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
            out << QLatin1Char('"') + escaped + QLatin1Char('"');
        } else {
            out << f;
        }
    }
    return out.join(QLatin1Char(',')) + QLatin1Char('\n');
}

}  // namespace csv
