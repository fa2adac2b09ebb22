#include "recorder/RecorderControl.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "core/HandlerGuard.h"
#include "media/TMediaPlayer.h"
#include "media/WavFile.h"
#include "recorder/TForm4.h"

RecorderControl::RecorderControl(TForm4& window, TMediaPlayer& mp1, Dialogs& dialogs, EventLog& log,
                                 HandlerGuard& guard, QString programFolder)
    : w_(window), mp1_(mp1), dialogs_(dialogs), log_(log), folder_(std::move(programFolder)) {
    guard.connect(w_.btn1, &QPushButton::clicked, &w_, [this] { btn1Click(); });
    guard.connect(w_.btn2, &QPushButton::clicked, &w_, [this] { btn2Click(); });
    w_.FormCloseQuery = [this, &guard] { guard.run([this] { FormCloseQuery(); }); };
    guard.connect(&mp1_, &TMediaPlayer::RecordingEnded, &w_,
                  [this](bool abandoned) { recordingEnded(abandoned); });
    guard.connect(&mp1_, &TMediaPlayer::RecordingFailed, &w_,
                  [this](const QString& reason) { recordingFailed(reason); });
}

QString RecorderControl::emptyNameText() {
    return QStringLiteral("文件名不能为空");
}
QString RecorderControl::initFailedText() {
    return QStringLiteral(" 媒体设备初始化失败！ ");
}
QString RecorderControl::errorCaption() {
    return QStringLiteral(" 错误 ");
}
QString RecorderControl::finishedText() {
    return QStringLiteral(" 声音录制完毕 !");
}
QString RecorderControl::infoCaption() {
    return QStringLiteral(" 信息 ");
}
QString RecorderControl::saveFailedText() {
    return QStringLiteral(" 保存声音文件出错 !");
}
QString RecorderControl::interruptedText() {
    return QStringLiteral("铃声响起，录音已停止。已录下的声音保存在 %1");
}

QString RecorderControl::targetFile() const {
    return QDir(folder_).filePath(QStringLiteral("Music/") + w_.edt1->text().trimmed() +
                                  QStringLiteral(".wav"));
}

QString RecorderControl::format() const {
    return QStringLiteral("%1ch %2bit %3Hz")
        .arg(w_.cbb1->currentText(), w_.cbb2->currentText(), w_.cbb3->currentText());
}

void RecorderControl::idle() {
    recording_ = false;
    w_.btn1->setEnabled(true);
    w_.btn2->setEnabled(false);
}

void RecorderControl::btn1Click() {
    if (w_.edt1->text().isEmpty()) {
        dialogs_.message(emptyNameText());
        return;
    }
    const QString file = targetFile();
    try {
        CreateWav(static_cast<std::uint16_t>(w_.cbb1->currentText().toInt()),
                  static_cast<std::uint16_t>(w_.cbb2->currentText().toInt()),
                  w_.cbb3->currentText().toInt(), file);
        ending_ = true;  // opening the file ends whatever the player held
        mp1_.OpenRecording(file);
        mp1_.StartRecording();
        ending_ = false;
    } catch (const AppError& error) {
        ending_ = false;
        idle();
        log_.write(QStringLiteral("error"),
                   initFailedText().trimmed() + QLatin1Char(' ') + error.text());
        dialogs_.box(errorCaption(), initFailedText(), Dialogs::Icon::Error);
        return;
    }
    recording_ = true;
    file_ = file;
    w_.btn1->setEnabled(false);
    w_.btn2->setEnabled(true);
    log_.write(QStringLiteral("record-start"), file + QLatin1Char(' ') + format());
}

void RecorderControl::btn2Click() {
    const QString file = file_;
    try {
        if (!recording_) {
            // Nothing is being recorded, whatever the player holds: nothing to save.
            throw AppError(QStringLiteral("没有正在进行的录音"));
        }
        ending_ = true;
        mp1_.Stop();
        mp1_.Save();
        ending_ = false;
    } catch (const AppError& error) {
        ending_ = false;
        idle();
        log_.write(QStringLiteral("error"),
                   saveFailedText().trimmed() + QLatin1Char(' ') + error.text());
        dialogs_.box(errorCaption(), saveFailedText(), Dialogs::Icon::Error);
        return;
    }
    idle();
    log_.write(QStringLiteral("record-stop"), file + QLatin1Char(' ') + format());
    dialogs_.box(infoCaption(), finishedText(), Dialogs::Icon::Information);
}

void RecorderControl::recordingEnded(bool abandoned) {
    if (ending_ || !recording_) {
        return;
    }
    // Something else took the player (a bell): what was recorded is complete in the file.
    idle();
    log_.write(QStringLiteral("record-stop"),
               file_ + QLatin1Char(' ') + format() +
                   (abandoned ? QStringLiteral(" abandoned") : QStringLiteral(" interrupted")));
    dialogs_.notice(interruptedText().arg(QDir::toNativeSeparators(file_)));
}

void RecorderControl::recordingFailed(const QString& reason) {
    if (!recording_) {
        return;
    }
    idle();
    log_.write(QStringLiteral("error"), initFailedText().trimmed() + QLatin1Char(' ') + reason);
    dialogs_.box(errorCaption(), initFailedText(), Dialogs::Icon::Error);
}

void RecorderControl::FormCloseQuery() {
    const bool wasRecording = recording_;
    ending_ = true;
    mp1_.Close();  // a recording still running is given up: the file keeps only its header
    ending_ = false;
    if (wasRecording) {
        log_.write(QStringLiteral("record-stop"),
                   file_ + QLatin1Char(' ') + format() + QStringLiteral(" abandoned"));
    }
    idle();
    // The player is left open on the start-up tune, as the clock expects.
    try {
        mp1_.Open(QDir(folder_).filePath(QStringLiteral("sys.mp3")));
        tuneReported_ = false;
    } catch (const AppError&) {
        if (!tuneReported_) {
            tuneReported_ = true;
            throw;  // reported once; the window closes all the same
        }
    }
}
