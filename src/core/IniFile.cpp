#include "core/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>
#include <vector>

#include "core/AppError.h"

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// One physical line of the file, kept byte for byte so a write can reproduce every line it
// does not change.
struct Line {
    QByteArray raw;  // without the line break
    bool crlf = false;
};

std::vector<Line> splitLines(const QByteArray& data) {
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0) {
            end = data.size();
        }
        Line line{data.mid(start, end - start), false};
        if (line.raw.endsWith('\r')) {
            line.raw.chop(1);
            line.crlf = true;
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
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

std::optional<KeyLine> keyLine(const QByteArray& text) {
    const qsizetype eq = text.indexOf('=');
    if (eq <= 0 || text.startsWith('[')) {
        return std::nullopt;
    }
    return KeyLine{text.left(eq).trimmed(), text.mid(eq + 1).trimmed()};
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

int IniFile::readInteger(const QString& section, const QString& key, int fallback) const {
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        return fallback;
    }
    const std::vector<Line> lines = splitLines(file.readAll());
    const Found found = find(lines, section, key);
    if (!found.key) {
        return fallback;
    }
    const auto kv = keyLine(content(lines[*found.key], *found.key == 0));
    const auto value = parseInteger(kv->value);
    return value.value_or(fallback);
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    QByteArray data;
    {
        QFile file(path_);
        if (file.open(QIODevice::ReadOnly)) {
            data = file.readAll();
        }
    }
    std::vector<Line> lines = splitLines(data);
    const bool crlf = !lines.empty() && lines.front().crlf;
    const QByteArray number = QByteArray::number(value);
    const Found found = find(lines, section, key);

    if (found.key) {
        Line& line = lines[*found.key];
        const bool bom = *found.key == 0 && line.raw.startsWith(kBom);
        const auto kv = keyLine(content(line, *found.key == 0));
        line.raw = (bom ? kBom : QByteArray()) + kv->key + '=' + number;
    } else if (found.section) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(found.lastInSection + 1),
                     Line{key.toUtf8() + '=' + number, crlf});
    } else {
        lines.push_back(Line{'[' + section.toUtf8() + ']', crlf});
        lines.push_back(Line{key.toUtf8() + '=' + number, crlf});
    }

    QByteArray out;
    for (const Line& line : lines) {
        out += line.raw;
        out += line.crlf ? "\r\n" : "\n";
    }

    const QString fullPath = QFileInfo(path_).absoluteFilePath();
    QSaveFile file(path_);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        throw AppError(QStringLiteral("Unable to write to %1").arg(fullPath));
    }
}
