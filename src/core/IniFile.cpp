#include "core/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>
#include <vector>

#include "core/AppError.h"
#include "core/WholeFile.h"

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const QByteArray kUtf16LeBom("\xFF\xFE");
const QByteArray kUtf16BeBom("\xFE\xFF");

// One physical line of the file, kept byte for byte so a write can reproduce every line it
// does not change.
struct Line {
    QByteArray raw;  // without the line break
    QByteArray end;  // the line break as found: "\n", "\r\n", "\r", or empty for the last line
};

// The file as lines of UTF-8 (or the local code page) text. Notepad's "Unicode" files (UTF-16
// with a byte-order mark) are read through a UTF-8 copy and written back as UTF-16.
struct Document {
    std::vector<Line> lines;
    enum class Encoding { Bytes, Utf16Le, Utf16Be } encoding = Encoding::Bytes;

    // The break for a line the program adds: the file's own, "\n" for a new file.
    QByteArray newLineEnd() const {
        for (const Line& line : lines) {
            if (!line.end.isEmpty()) {
                return line.end;
            }
        }
        return "\n";
    }
};

QStringConverter::Encoding utf16(bool bigEndian) {
    return bigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16LE;
}

// Lines end at "\r\n", "\n" or a lone "\r", as the system's own reader takes them.
Document parse(QByteArray data) {
    Document doc;
    if (data.startsWith(kUtf16LeBom) || data.startsWith(kUtf16BeBom)) {
        const bool bigEndian = data.startsWith(kUtf16BeBom);
        doc.encoding = bigEndian ? Document::Encoding::Utf16Be : Document::Encoding::Utf16Le;
        QStringDecoder decode(utf16(bigEndian), QStringConverter::Flag::Stateless);
        data = QString(decode(data.mid(2))).toUtf8();
    }
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = start;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r') {
            ++end;
        }
        Line line{data.mid(start, end - start), {}};
        if (end < data.size()) {
            const bool crlf = data[end] == '\r' && end + 1 < data.size() && data[end + 1] == '\n';
            line.end = data.mid(end, crlf ? 2 : 1);
        }
        start = end + line.end.size();
        doc.lines.push_back(std::move(line));
    }
    return doc;
}

QByteArray serialise(const Document& doc) {
    const QByteArray newLine = doc.newLineEnd();
    QByteArray out;
    for (const Line& line : doc.lines) {
        out += line.raw;
        out += line.end.isEmpty() ? newLine : line.end;
    }
    if (doc.encoding == Document::Encoding::Bytes) {
        return out;
    }
    const bool bigEndian = doc.encoding == Document::Encoding::Utf16Be;
    QStringEncoder encode(utf16(bigEndian), QStringConverter::Flag::Stateless);
    return (bigEndian ? kUtf16BeBom : kUtf16LeBom) + QByteArray(encode(QString::fromUtf8(out)));
}

QByteArray content(const Line& line, bool first) {
    QByteArray text = line.raw;
    if (first && text.startsWith(kBom)) {
        text.remove(0, kBom.size());
    }
    return text.trimmed();
}

bool sameName(const QByteArray& stored, const QString& wanted) {
    return QString::fromUtf8(stored).trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
}

// The section name of a "[Name]" line, or nothing for any other line.
std::optional<QByteArray> sectionName(const QByteArray& text) {
    if (!text.startsWith('[')) {
        return std::nullopt;
    }
    const qsizetype close = text.indexOf(']');
    if (close < 0) {
        return std::nullopt;
    }
    return text.mid(1, close - 1).trimmed();
}

struct KeyLine {
    QByteArray key;
    QByteArray value;
};

// A "key=value" line; a line that starts with a semicolon is a comment, never a key.
std::optional<KeyLine> keyLine(const QByteArray& text) {
    const qsizetype eq = text.indexOf('=');
    if (eq <= 0 || text.startsWith('[') || text.startsWith(';')) {
        return std::nullopt;
    }
    return KeyLine{text.left(eq).trimmed(), text.mid(eq + 1).trimmed()};
}

// The value as the system's reader hands it over: blanks around it dropped, and a value in a
// pair of matching single or double quotation marks without them ("1" and '1' read as 1).
QByteArray unquoted(QByteArray value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.mid(1, value.size() - 2).trimmed();
    }
    return value;
}

// Where a key stands: the index of its section header and of its own line, if any.
struct Found {
    std::optional<size_t> section;
    std::optional<size_t> key;
    size_t lastInSection = 0;  // last key line of the section (or its header)
};

Found find(const std::vector<Line>& lines, const QString& section, const QString& key) {
    Found found;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QByteArray text = content(lines[i], i == 0);
        if (auto name = sectionName(text)) {
            if (inside) {
                break;  // only the first section of that name counts
            }
            if (sameName(*name, section)) {
                inside = true;
                found.section = i;
                found.lastInSection = i;
            }
            continue;
        }
        if (!inside) {
            continue;
        }
        if (auto kv = keyLine(text)) {
            found.lastInSection = i;
            if (sameName(kv->key, key)) {
                found.key = i;
                break;  // a repeated key: the first one counts
            }
        }
    }
    return found;
}

std::optional<int> parseInteger(const QByteArray& value) {
    bool ok = false;
    int result = 0;
    if (value.size() > 2 && (value.startsWith("0x") || value.startsWith("0X"))) {
        // Hexadecimal is taken as the 32-bit pattern, so 0xFFFFFFFF reads as -1.
        const uint bits = value.mid(2).toUInt(&ok, 16);
        result = static_cast<int>(bits);
    } else {
        result = value.toInt(&ok, 10);
    }
    if (!ok) {
        return std::nullopt;
    }
    return result;
}

}  // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

std::optional<QByteArray> IniFile::value(const QString& section, const QString& key) const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const std::vector<Line> lines = parse(file.readAll()).lines;
    const Found found = find(lines, section, key);
    if (!found.key) {
        return std::nullopt;
    }
    return unquoted(keyLine(content(lines[*found.key], *found.key == 0))->value);
}

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const {
    const std::optional<QByteArray> text = value(section, key);
    return text ? parseInteger(*text).value_or(fallback) : fallback;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& fallback) const {
    const std::optional<QByteArray> text = value(section, key);
    return text ? QString::fromUtf8(*text) : fallback;
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    QByteArray data;
    {
        QFile file(path_);
        if (file.open(QIODevice::ReadOnly)) {
            data = file.readAll();
        }
    }
    Document doc = parse(data);
    std::vector<Line>& lines = doc.lines;
    const QByteArray number = QByteArray::number(value);
    const Found found = find(lines, section, key);

    if (found.key) {
        Line& line = lines[*found.key];
        const bool bom = *found.key == 0 && line.raw.startsWith(kBom);
        const auto kv = keyLine(content(line, *found.key == 0));
        line.raw = (bom ? kBom : QByteArray()) + kv->key + '=' + number;
    } else if (found.section) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found.lastInSection + 1),
                     Line{key.toUtf8() + '=' + number, {}});
    } else {
        lines.push_back(Line{'[' + section.toUtf8() + ']', {}});
        lines.push_back(Line{key.toUtf8() + '=' + number, {}});
    }

    const QByteArray out = serialise(doc);

    const QString fullPath = QFileInfo(path_).absoluteFilePath();
    if (!wholefile::replace(path_, out)) {
        throw AppError(QStringLiteral("Unable to write to %1").arg(fullPath));
    }
}
