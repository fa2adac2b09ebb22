#include "app/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {
const QString kQuestionCaption = QStringLiteral("温馨提醒");
}

QWidget* QtDialogs::parentForBox() const {
    // Over the window that raised it (the recorder, the calendar…) while that is on screen, else
    // over the main window; while the main window is hidden in the tray a box of its own (a
    // child would be hidden with it, or placed over a window nobody sees).
    const auto shown = [](QWidget* w) { return w && w->isVisible() && !w->isMinimized(); };
    QWidget* active = QApplication::activeModalWidget();
    if (active == nullptr) {
        active = QApplication::activeWindow();
    }
    if (shown(active) && qobject_cast<QMessageBox*>(active) == nullptr) {
        return active;
    }
    return shown(owner_) ? owner_.data() : nullptr;
}

void QtDialogs::bringForward(QMessageBox& box) {
    // Above everything only while the main window is hidden, so that it is seen; otherwise it
    // stacks with its window and never covers another window's controls.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, box.parentWidget() == nullptr);
    if (!box.buttons().isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(box.buttons().front()));
    }
}

void QtDialogs::takeFocus(QMessageBox& box) {
    // Enter answers it and Esc closes it at once.
    box.raise();
    box.activateWindow();
    if (box.defaultButton() != nullptr) {
        box.defaultButton()->setFocus();
    }
}

bool QtDialogs::question(const QString& text) {
    QMessageBox box(QMessageBox::Question, kQuestionCaption, text,
                    QMessageBox::Ok | QMessageBox::Cancel, parentForBox());
    bringForward(box);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::showOnce(const QString& kind, int icon, const QString& caption,
                         const QString& text) {
    const QString key = kind + QLatin1Char('\n') + text;
    open_.removeIf([](const auto& entry) { return entry.value().isNull(); });
    if (QMessageBox* box = open_.value(key)) {
        takeFocus(*box);
        return;
    }
    auto* box = new QMessageBox(static_cast<QMessageBox::Icon>(icon), caption, text,
                                QMessageBox::Ok, parentForBox());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    bringForward(*box);
    open_.insert(key, box);
    box->show();
    takeFocus(*box);
}

void QtDialogs::notice(const QString& text) {
    showOnce(QStringLiteral("notice"), QMessageBox::NoIcon, QApplication::applicationName(), text);
}

void QtDialogs::errorReport(const QString& text) {
    showOnce(QStringLiteral("error"), QMessageBox::Critical, QApplication::applicationName(), text);
}

void QtDialogs::message(const QString& text) {
    showOnce(QStringLiteral("message"), QMessageBox::NoIcon, QApplication::applicationName(), text);
}

void QtDialogs::box(const QString& caption, const QString& text, Icon icon) {
    showOnce(QStringLiteral("box"),
             icon == Icon::Error ? QMessageBox::Critical : QMessageBox::Information, caption, text);
}

void QtDialogs::warning(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, owner_);
    box.exec();
}

QString QtDialogs::chooseSoundFile() {
    QFileDialog dialog(owner_);
    if (!soundFolder_.isEmpty() && QFileInfo(soundFolder_).isDir()) {
        dialog.setDirectory(soundFolder_);
    }
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("mp3"));
    dialog.setNameFilter(
        QStringLiteral("声音文件(*.mp3,*.wav,*.wma,*.mid) (*.mp3 *.wav *.mid *.wma)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

int QtDialogs::openBoxes() const {
    int count = 0;
    for (const auto& box : open_) {
        count += box ? 1 : 0;
    }
    return count;
}
