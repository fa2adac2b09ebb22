#pragma once

#include <QString>

class Dialogs;
class EventLog;
class FileOpener;

// "显示帮助": opens the program's help. A "Chimora.chm" in the program folder (a school may bring
// one from its old machine) comes first; otherwise the Chinese help page that ships with the
// program. A help that cannot be opened (no browser) is said in a box naming the file, and logged.
class HelpCommand {
  public:
    HelpCommand(FileOpener& opener, Dialogs& dialogs, EventLog& log, QString programFolder);

    static QString failedText();  // %1: the help file

    // Writes the help page into the program folder (help/index.html), naming that folder, when
    // it is missing or differs from the one built into the program.
    static void writePage(const QString& programFolder, EventLog& log);

    void btn13Click();
    // The file that "显示帮助" opens.
    QString helpFile() const;

  private:
    FileOpener& opener_;
    Dialogs& dialogs_;
    EventLog& log_;
    QString folder_;
};
