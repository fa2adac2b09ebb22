#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The program's settings file: a private-profile text file of [Section] headers and
// Key=Value lines. Every call goes to the file itself; nothing is cached, so a change made
// from outside is seen at the next read. Section and key names match without regard to case.
// Read as the system's own private-profile reader reads hand-edited files: blanks around names
// and values are dropped, a value in matching quotes loses them, a line starting with ';' is a
// comment, lines end at CRLF, LF or a lone CR, and UTF-16 files with a byte-order mark are read
// (and written back) as UTF-16.
class IniFile {
  public:
    explicit IniFile(QString path);

    const QString& path() const { return path_; }

    // The stored integer, or `fallback` when the file, section or key is missing or the value
    // is not an integer. "0x1F"/"0X1F" (longer than two characters) is read as hexadecimal.
    int readInteger(const QString& section, const QString& key, int fallback) const;
    // The stored text (UTF-8, without surrounding quotes), or `fallback` when it is missing.
    QString readString(const QString& section, const QString& key,
                       const QString& fallback = {}) const;

    // Stores `value` in decimal, creating the file, section or key when missing and keeping
    // every other line as it was. The new file is written beside the old one and renamed over
    // it, so a power cut never leaves a half-written file. Throws AppError
    // "Unable to write to <full path>" when the system refuses.
    void writeInteger(const QString& section, const QString& key, int value);

  private:
    // The value of the key as written, without surrounding quotes; null when it is missing.
    std::optional<QByteArray> value(const QString& section, const QString& key) const;

    QString path_;
};
