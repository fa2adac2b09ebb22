#pragma once

#include <QFile>
#include <QString>
#include <functional>

class Clock;

// What the unattended bell PC did, one line per event on standard error:
// "<clock time with milliseconds> <kind> <details>". Control characters and backslashes in the
// details are escaped (\n, \t, \xNN, \\), so a line is always exactly one event. With a history
// folder, every line is also appended to <folder>/YYYY-MM.log, written through line by line.
class EventLog {
  public:
    using Sink = std::function<void(const QString& line)>;

    explicit EventLog(const Clock& clock, Sink sink = {});

    void write(const QString& kind, const QString& details = {});

    // Starts the monthly history files in `folder` (made when missing) and removes those older
    // than `keepMonths` months. A history that cannot be written is said once on the log and
    // never holds anything up.
    void keepHistory(const QString& folder, int keepMonths = 24);

    // The details as a line holds them.
    static QString escaped(const QString& details);

  private:
    QString line(const QString& kind, const QString& details) const;
    void toHistory(const QString& line);
    void historyFailed(const QString& why);

    const Clock& clock_;
    Sink sink_;
    QString historyFolder_;
    QFile history_;
    QString historyMonth_;
    bool historyFailed_ = false;
};
