#pragma once

#include <QString>

// Desktop entries (freedesktop Desktop Entry Specification) that start the program: the one in
// the session's autostart folder and the one for the applications menu.
namespace desktopentry {

// One argument of an Exec key, written so that a launcher following that specification reads it
// back unchanged: quoted, with ", `, $ and \ escaped inside the quotes, % doubled, and the
// result escaped once more as the key's string value.
QString execArgument(const QString& argument);

// The Exec value that starts `program`. The program runs through /usr/bin/env with its path as
// a quoted argument: GLib's launcher does not find a quoted program path that holds characters
// such as '"', but takes any argument whole.
QString execLine(const QString& program);

// The whole entry. An autostart entry also says it is enabled.
QString content(const QString& program, const QString& icon, bool autostart);

// Writes an entry file whole (a temporary file renamed over it, its folder made when missing),
// unless it already holds exactly `content`; false when it cannot be written.
bool writeIfDifferent(const QString& path, const QString& content);

// The characters of `program` that systemd's autostart generator mangles whatever the quoting
// ($ and ` come out with a stray backslash; a backslash makes it refuse the entry). Empty when
// every launcher starts the program.
QString charactersSystemdCannotStart(const QString& program);

}  // namespace desktopentry
