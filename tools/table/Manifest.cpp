#include "table/Manifest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace bundle {

namespace {

constexpr double kMaxFileSize = 1e15;

}  // namespace

bool safePath(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\')) ||
        path.contains(QChar(0))) {
        return false;
    }
    for (const QString& part : path.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
            return false;
        }
    }
    return true;
}

QByteArray toJson(const Manifest& manifest) {
    QJsonArray files;
    for (const File& f : manifest.files) {
        files.append(QJsonObject{{QStringLiteral("path"), f.path},
                                 {QStringLiteral("size"), f.size},
                                 {QStringLiteral("sha256"), QString::fromLatin1(f.sha256)}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("version"), manifest.version},
                                     {QStringLiteral("files"), files}})
        .toJson();
}

std::optional<Manifest> fromJson(const QByteArray& json, QString* why) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    const auto refuse = [why](const QString& text) {
        *why = text;
        return std::nullopt;
    };
    if (!doc.isObject()) {
        return refuse(QStringLiteral("清单不是 JSON 对象：") + error.errorString());
    }
    Manifest m;
    m.version = doc.object().value(QStringLiteral("version")).toString();
    if (!safePath(m.version) || m.version.contains(QLatin1Char('/'))) {
        return refuse(QStringLiteral("清单的版本不可用：") + m.version);
    }
    for (const QJsonValue& v : doc.object().value(QStringLiteral("files")).toArray()) {
        const QJsonObject o = v.toObject();
        // A size is a whole number of bytes that fits; anything else (a fraction, 1e300, a
        // text) is no size.
        const double size = o.value(QStringLiteral("size")).toDouble(-1);
        const bool whole = size >= 0 && size <= kMaxFileSize && size == std::floor(size);
        File f{o.value(QStringLiteral("path")).toString(), whole ? static_cast<qint64>(size) : -1,
               o.value(QStringLiteral("sha256")).toString().toLatin1()};
        if (!safePath(f.path)) {
            return refuse(QStringLiteral("清单里的路径离开了文件夹：") + f.path);
        }
        if (f.size < 0 || f.sha256.size() != 64) {
            return refuse(QStringLiteral("清单里的文件没有大小或 SHA-256：") + f.path);
        }
        m.files.push_back(f);
    }
    return m;
}

}  // namespace bundle
