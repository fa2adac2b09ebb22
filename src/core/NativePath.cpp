#include "core/NativePath.h"

#include <sys/stat.h>

namespace nativepath {

namespace {

// Length of the valid UTF-8 sequence starting at i (1 to 4), or 0 when it is not valid.
int sequenceLength(const QByteArray& b, qsizetype i) {
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(b[k]); };
    const unsigned char c = at(i);
    if (c < 0x80) {
        return 1;
    }
    int len = 0;
    char32_t min = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > b.size()) {
        return 0;
    }
    for (int k = 1; k < len; ++k) {
        if ((at(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (at(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

}  // namespace

QString decode(const QByteArray& bytes) {
    qsizetype valid = 0;
    while (valid < bytes.size()) {
        const int len = sequenceLength(bytes, valid);
        if (len == 0) {
            break;
        }
        valid += len;
    }
    if (valid == bytes.size()) {
        return QString::fromUtf8(bytes);
    }
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int len = sequenceLength(bytes, i);
        if (len == 0) {
            out += QChar(static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(bytes[i])));
            ++i;
        } else {
            out += QString::fromUtf8(bytes.constData() + i, len);
            i += len;
        }
    }
    return out;
}

QByteArray encode(const QString& path) {
    QByteArray out;
    out.reserve(path.size());
    qsizetype i = 0;
    while (i < path.size()) {
        const char16_t u = path[i].unicode();
        if (u >= 0xDC80 && u <= 0xDCFF) {
            out += static_cast<char>(u - 0xDC00);
            ++i;
        } else if (QChar::isHighSurrogate(u) && i + 1 < path.size() &&
                   QChar::isLowSurrogate(path[i + 1].unicode())) {
            out += path.mid(i, 2).toUtf8();
            i += 2;
        } else if (u < 0x80) {
            out += static_cast<char>(u);
            ++i;
        } else {
            out += QString(QChar(u)).toUtf8();
            ++i;
        }
    }
    return out;
}

bool isFile(const QString& path) {
    struct stat st {};
    return ::stat(encode(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace nativepath
