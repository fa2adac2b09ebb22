#include "core/EventLog.h"

#include <unistd.h>

#include <QDir>
#include <cstdio>

#include "core/Clock.h"
#include "core/TimeOfDay.h"

namespace {

void toStderr(const QString& line) {
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

}  // namespace

EventLog::EventLog(const Clock& clock, Sink sink)
    : clock_(clock), sink_(sink ? std::move(sink) : Sink(toStderr)) {}

QString EventLog::escaped(const QString& details) {
    QString out;
    out.reserve(details.size());
    for (qsizetype i = 0; i < details.size(); ++i) {
        const QChar c = details[i];
        const char16_t u = c.unicode();
        const bool afterHigh = i > 0 && details[i - 1].isHighSurrogate();
        if (u >= 0xDC80 && u <= 0xDCFF && !afterHigh) {
            // A byte of a file name that is not UTF-8 (see nativepath): shown as that byte, so
            // the line names the real file.
            out +=
                QStringLiteral("\\x%1").arg(static_cast<int>(u - 0xDC00), 2, 16, QLatin1Char('0'));
        } else if (u == '\\') {
            out += QStringLiteral("\\\\");
        } else if (u == '\n') {
            out += QStringLiteral("\\n");
        } else if (u == '\r') {
            out += QStringLiteral("\\r");
        } else if (u == '\t') {
            out += QStringLiteral("\\t");
        } else if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0x2028 || u == 0x2029) {
            out += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

QString EventLog::line(const QString& kind, const QString& details) const {
    QString text = tod::stamp(clock_.now(), true) + QLatin1Char(' ') + kind;
    if (!details.isEmpty()) {
        text += QLatin1Char(' ') + escaped(details);
    }
    return text;
}

void EventLog::historyFailed(const QString& why) {
    // Said once until the history works again; on the log only, never into the history.
    if (!historyFailed_) {
        historyFailed_ = true;
        sink_(line(QStringLiteral("history-failed"), why));
    }
}

void EventLog::write(const QString& kind, const QString& details) {
    const QString text = line(kind, details);
    sink_(text);
    if (!historyFolder_.isEmpty()) {
        toHistory(text);
    }
}

void EventLog::keepHistory(const QString& folder, int keepMonths) {
    historyFolder_ = folder;
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        historyFailed(QDir::toNativeSeparators(folder));
        return;
    }
    // Files are named by month, so the names sort by age.
    const QString oldest =
        clock_.now().date().addMonths(-keepMonths).toString(QStringLiteral("yyyy-MM"));
    for (const QString& name : dir.entryList(
             {QStringLiteral("[0-9][0-9][0-9][0-9]-[0-9][0-9].log")}, QDir::Files, QDir::Name)) {
        if (name.left(7) < oldest) {
            dir.remove(name);
        }
    }
}

void EventLog::toHistory(const QString& line) {
    const QString month = line.left(7);  // "2026-12" of the line's own time
    if (month != historyMonth_ || !history_.isOpen()) {
        history_.close();
        history_.setFileName(QDir(historyFolder_).filePath(month + QStringLiteral(".log")));
        historyMonth_ = month;
        if (!history_.open(QIODevice::WriteOnly | QIODevice::Append)) {
            historyFailed(history_.fileName() + QStringLiteral(": ") + history_.errorString());
            return;
        }
    }
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    if (history_.write(bytes) != bytes.size() || !history_.flush()) {
        historyFailed(history_.fileName() + QStringLiteral(": ") + history_.errorString());
        history_.close();
        return;
    }
    historyFailed_ = false;
    ::fdatasync(history_.handle());  // on the disk before the next event, power cut or not
}
