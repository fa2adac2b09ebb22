#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

// Comma-separated values as RFC 4180 has them: fields may be quoted, a quote inside a quoted
// field is doubled, and quoted fields may hold commas and line breaks.
namespace csv {

struct Record {
    int line = 0;  // line of the file on which the record starts, from 1
    QStringList fields;
};

struct ParseError : std::runtime_error {
    ParseError(int atLine, const std::string& what) : std::runtime_error(what), line(atLine) {}
    int line;
};

// Splits text into records; blank lines are skipped. Throws ParseError on an unclosed quote.
std::vector<Record> parse(const QString& text);

// One record as a line of text, quoting only the fields that need it, ending in "\n".
QString formatRecord(const QStringList& fields);

}  // namespace csv
