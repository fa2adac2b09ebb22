#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a CSV file as spreadsheets write them: UTF-8 (with or without a byte-order mark),
// or on a Chinese system the local code page GBK, read here as GB18030, its superset.
namespace csvencoding {

struct Decoded {
    QString text;      // without a byte-order mark
    QString encoding;  // "UTF-8", "UTF-8（带 BOM）" or "GB18030"
};

Decoded decode(const QByteArray& bytes);

// Why the file is a spreadsheet workbook (by its name or its first bytes) and not CSV; empty
// when it is not one.
QString workbookRefusal(const QString& path, const QByteArray& bytes);

// CSV text as Excel opens it correctly on any system: UTF-8 with a byte-order mark, CRLF.
QByteArray forExcel(const QString& text);

}  // namespace csvencoding
