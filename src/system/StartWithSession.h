#pragma once

#include <QString>

class Dialogs;
class EventLog;
class IniFile;
class XdgAutostart;

// "自动启动": makes the desktop session start the program at log-on, from the folder where it
// now lies, and remembers the choice as Auto_Run. The box keeps the state the user gave it even
// when switching fails.
class StartWithSession {
  public:
    StartWithSession(XdgAutostart& autostart, IniFile& settings, Dialogs& dialogs, EventLog& log,
                     QString program, QString icon);

    static QString enableFailedText();
    static QString disableFailedText();
    // The notice for a program path that some sessions cannot start (see DesktopEntry).
    static QString unsafePathText(const QString& characters);

    void chk2Click(bool checked);

    // The entry for the applications menu, kept in the program folder beside the program.
    void writeMenuEntry(const QString& path);

  private:
    XdgAutostart& autostart_;
    IniFile& settings_;
    Dialogs& dialogs_;
    EventLog& log_;
    QString program_;
    QString icon_;
};
