#pragma once

#include <QMap>
#include <QPointer>
#include <QString>

#include "core/Dialogs.h"

class QMessageBox;
class QWidget;

// Dialogs shown with QMessageBox and QFileDialog. Notices, messages and error reports are
// non-modal and return at once; while a box with the same text is still open, the same report
// only raises that box instead of piling up another. A box belongs to the window that raised it
// while that is shown and takes the focus; while the main window is hidden in the tray it is a
// window of its own that stays on top, so nothing goes unseen.
class QtDialogs : public Dialogs {
  public:
    QtDialogs() = default;
    void setOwner(QWidget* owner) { owner_ = owner; }
    // Where the sound-file chooser opens (the program's Music folder).
    void setSoundFolder(const QString& folder) { soundFolder_ = folder; }

    bool question(const QString& text) override;
    void notice(const QString& text) override;
    void errorReport(const QString& text) override;
    void message(const QString& text) override;
    void warning(const QString& caption, const QString& text) override;
    void box(const QString& caption, const QString& text, Icon icon) override;
    QString chooseSoundFile() override;

    // Boxes open now (for tests and for the exit path).
    int openBoxes() const;

  private:
    QWidget* parentForBox() const;
    static void bringForward(QMessageBox& box);
    static void takeFocus(QMessageBox& box);
    void showOnce(const QString& kind, int icon, const QString& caption, const QString& text);

    QPointer<QWidget> owner_;
    QString soundFolder_;
    QMap<QString, QPointer<QMessageBox>> open_;
};
