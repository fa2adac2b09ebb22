#include "system/DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "core/WholeFile.h"

namespace desktopentry {

namespace {

// A string value as the Desktop Entry Specification escapes it: backslash, then the control
// characters.
QString escapeString(const QString& value) {
    QString out;
    for (const QChar c : value) {
        switch (c.unicode()) {
            case '\\':
                out += QStringLiteral("\\\\");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

QString execArgument(const QString& argument) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    quoted += QLatin1Char('"');
    return escapeString(quoted);
}

QString execLine(const QString& program) {
    return QStringLiteral("/usr/bin/env ") + execArgument(program);
}

QString content(const QString& program, const QString& icon, bool autostart) {
    QStringList lines = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=Tollvane"),
        QStringLiteral("Comment=校园音乐铃声：按时间表自动播放上下课音乐"),
        QStringLiteral("Exec=") + execLine(program),
        QStringLiteral("Icon=") + escapeString(icon),
        QStringLiteral("Terminal=false"),
        QStringLiteral("Categories=AudioVideo;Audio;"),
    };
    if (autostart) {
        lines << QStringLiteral("X-GNOME-Autostart-enabled=true");
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool writeIfDifferent(const QString& path, const QString& content) {
    const QByteArray bytes = content.toUtf8();
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes) {
        return true;
    }
    if (!QDir().mkpath(QFileInfo(path).path())) {
        return false;
    }
    return wholefile::replace(path, bytes);
}

QString charactersSystemdCannotStart(const QString& program) {
    QString found;
    for (const QChar c : {QLatin1Char('$'), QLatin1Char('`'), QLatin1Char('\\')}) {
        if (program.contains(c)) {
            found += c;
        }
    }
    return found;
}

}  // namespace desktopentry
