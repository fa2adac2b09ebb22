#pragma once

#include <QString>

// The session's autostart folders (freedesktop Desktop Application Autostart Specification),
// holding the entry "Tollvane.desktop": the machine-wide one (first folder of XDG_CONFIG_DIRS,
// default /etc/xdg, + /autostart) and the user's own (XDG_CONFIG_HOME, default ~/.config,
// + /autostart), whose entry of the same name overrides the machine-wide one.
class XdgAutostart {
  public:
    XdgAutostart(QString systemFolder, QString userFolder);
    static XdgAutostart fromEnvironment();

    static constexpr const char* kFileName = "Tollvane.desktop";
    QString systemEntry() const;
    QString userEntry() const;

    // Makes the session start the entry `content`: machine-wide where that can be written, else
    // for this user, and no user-level entry left that overrides it otherwise. A file that
    // already holds exactly that content is not rewritten. Returns the entry that now starts the
    // program; throws AppError when neither folder can take it.
    QString enable(const QString& content);

    // Stops the session starting the program: removes the entry from both folders. A machine-wide
    // entry that cannot be removed is switched off for this user by a user-level entry that hides
    // it. Refusals are silent. Returns the entries removed or hidden.
    QStringList disable();

  private:
    QString system_;
    QString user_;
};
