#pragma once

#include <QString>

// Every box and file dialog the program shows goes through here. Only a question (and the
// warning shown before the program runs) waits for its answer; everything else is shown without
// blocking the code that raised it, so a box opened from a timer tick never holds up the bells.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Caption "温馨提醒", question icon, OK and Cancel. True only for OK.
    virtual bool question(const QString& text) = 0;
    // Program title, one OK button.
    virtual void notice(const QString& text) = 0;
    // The general error report: stop icon, OK, program title. `text` is shown as given.
    virtual void errorReport(const QString& text) = 0;
    // A plain message box with one OK button.
    virtual void message(const QString& text) = 0;
    // A warning box with its own caption that waits for OK (used before any window exists).
    virtual void warning(const QString& caption, const QString& text) = 0;
    // A system message box with its own caption, an information or error icon and OK.
    enum class Icon { Information, Error };
    virtual void box(const QString& caption, const QString& text, Icon icon) = 0;
    // The sound-file chooser; an empty string when the user cancels.
    virtual QString chooseSoundFile() = 0;
};
