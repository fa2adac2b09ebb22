#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its settings, tables, sounds and logs.
//
// Portable: a folder holding the binary (as built, or copied to a bell PC) is the program
// folder. Installed: a binary in a `bin/` folder beside `share/tollvane/` (the package's
// layout, under any root) keeps its program folder in the user's data folder, laid out from
// that template. The layout decides, never whether the binary's folder can be written: a
// program run by root can write anywhere.
namespace programfolder {

struct Location {
    QString folder;       // the program folder in use
    QString templateDir;  // the installed template; empty for a portable folder
    bool installed() const { return !templateDir.isEmpty(); }
};

// binDir: the binary's folder; dataHome: $XDG_DATA_HOME (may be empty); home: $HOME.
Location locate(const QString& binDir, const QString& dataHome, const QString& home);

struct Completed {
    QStringList copied;  // relative paths made from the template
    QStringList failed;  // relative paths that could not be copied
};

// Copies into `folder` every file and folder of the template it lacks; an existing file (a
// table, config.ini, a sound) is never touched. Raises AppError when the folder cannot be made.
Completed complete(const QString& templateDir, const QString& folder);

// How a chosen file is stored in a table: relative to the program folder when it lies inside
// it ("Music/下课.wav"), so the folder can be copied to another PC; otherwise as given.
QString stored(const QString& folder, const QString& chosen);

// The file a table's sound field names: a relative field is read from the program folder.
QString resolve(const QString& folder, const QString& field);

}  // namespace programfolder
