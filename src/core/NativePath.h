#pragma once

#include <QByteArray>
#include <QString>

// File names on Linux are bytes, not always valid UTF-8. These convert between a native name
// and a QString without losing anything: each byte that is not part of valid UTF-8 becomes the
// lone surrogate U+DC80..U+DCFF in the string and turns back into the same byte. Valid UTF-8
// names read exactly as QString::fromUtf8 would read them.
namespace nativepath {

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& path);

// True when the path names an existing regular file (or a link to one).
bool isFile(const QString& path);

}  // namespace nativepath
