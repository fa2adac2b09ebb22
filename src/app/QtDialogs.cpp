#include "app/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {
const QString kQuestionCaption = QStringLiteral("温馨提醒");
}

QWidget* QtDialogs::parentForBox() const {
    // Over the main window while it is on screen; while it is hidden in the tray a box of its own
    // (a child would be hidden with it, or placed over a window nobody sees).
    return owner_ && owner_->isVisible() && !owner_->isMinimized() ? owner_.data() : nullptr;
}

void QtDialogs::bringForward(QMessageBox& box) {
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

bool QtDialogs::question(const QString& text) {
    QMessageBox box(QMessageBox::Question, kQuestionCaption, text,
                    QMessageBox::Ok | QMessageBox::Cancel, parentForBox());
    bringForward(box);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogs::showOnce(const QString& kind, int icon, const QString& caption,
                         const QString& text) {
    const QString key = kind + QLatin1Char('\n') + text;
    open_.removeIf([](const auto& entry) { return entry.value().isNull(); });
    if (QMessageBox* box = open_.value(key)) {
        box->raise();
        return;
    }
    auto* box = new QMessageBox(static_cast<QMessageBox::Icon>(icon), caption, text,
                                QMessageBox::Ok, parentForBox());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    bringForward(*box);
    open_.insert(key, box);
    box->show();
    box->raise();
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
