#include "recorder/RecorderControl.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

#include "core/AppError.h"
#include "core/Dialogs.h"
#include "core/EventLog.h"
#include "core/HandlerGuard.h"
#include "core/NativePath.h"
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
    guard.connect(&mp1_, &TMediaPlayer::RecordingLevel, &w_,
                  [this](double peakDb) { showLevel(peakDb); });
    idle();
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

QString RecorderControl::replaceText() {
    return QStringLiteral("%1 已经存在。\n要用新的录音替换它吗？");
}
QString RecorderControl::noSoundText() {
    return QStringLiteral("没有录到声音");
}
QString RecorderControl::checkInputText() {
    return QStringLiteral(
        "请检查：麦克风或其他声音输入是否接好、没有被别的程序占用，"
        "Music 文件夹是否存在并且可以写入。");
}
QString RecorderControl::recordingText(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return QStringLiteral("正在录音 %1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString RecorderControl::partFile(const QString& target) {
    return target + QStringLiteral(".recording");
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
    showRecording(false);
}

void RecorderControl::showRecording(bool on) {
    // While recording only 停止录音 makes sense; the name and the format are fixed then.
    // The focus goes from the button being disabled to the other one, never on to 关闭, so
    // that Space starts and stops a recording.
    QPushButton* now = on ? w_.btn2 : w_.btn1;
    QPushButton* before = on ? w_.btn1 : w_.btn2;
    now->setEnabled(true);
    if (before->hasFocus()) {
        now->setFocus();
    }
    before->setEnabled(false);
    for (QWidget* field : {static_cast<QWidget*>(w_.edt1), static_cast<QWidget*>(w_.cbb1),
                           static_cast<QWidget*>(w_.cbb2), static_cast<QWidget*>(w_.cbb3)}) {
        field->setEnabled(!on);
    }
    w_.showLevel(on, on ? recordingText(0) : QString(), -100.0);
}

void RecorderControl::showLevel(double peakDb) {
    if (!recording_) {
        return;
    }
    // The time recorded so far is what the file holds, read as each level comes.
    w_.showLevel(true, recordingText(mp1_.Position()), peakDb);
}

void RecorderControl::discardPart() {
    if (!part_.isEmpty()) {
        QFile::remove(part_);
        part_.clear();
    }
}

void RecorderControl::keepPart() {
    const QString part = part_;
    part_.clear();
    if (QFileInfo(part).size() <= 44) {
        QFile::remove(part);
        throw AppError(noSoundText());
    }
    // One step: the old file stays whole until the new one replaces it.
    if (::rename(nativepath::encode(part).constData(), nativepath::encode(file_).constData()) !=
        0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(part);
        throw AppError(QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(file_), reason));
    }
}

void RecorderControl::btn1Click() {
    if (w_.edt1->text().isEmpty()) {
        dialogs_.message(emptyNameText());
        return;
    }
    const QString file = targetFile();
    if (QFileInfo::exists(file) &&
        !dialogs_.question(replaceText().arg(QDir::toNativeSeparators(file)))) {
        return;
    }
    // The sound goes to a file beside the target; the target changes only when it is kept.
    const QString part = partFile(file);
    try {
        CreateWav(static_cast<std::uint16_t>(w_.cbb1->currentText().toInt()),
                  static_cast<std::uint16_t>(w_.cbb2->currentText().toInt()),
                  w_.cbb3->currentText().toInt(), part);
        ending_ = true;  // opening the file ends whatever the player held
        mp1_.OpenRecording(part);
        mp1_.StartRecording();
        ending_ = false;
    } catch (const AppError& error) {
        ending_ = false;
        QFile::remove(part);
        idle();
        log_.write(QStringLiteral("error"),
                   initFailedText().trimmed() + QLatin1Char(' ') + error.text());
        dialogs_.box(errorCaption(),
                     initFailedText() + QLatin1Char('\n') + error.text() + QLatin1Char('\n') +
                         checkInputText(),
                     Dialogs::Icon::Error);
        return;
    }
    recording_ = true;
    file_ = file;
    part_ = part;
    showRecording(true);
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
        keepPart();
    } catch (const AppError& error) {
        ending_ = false;
        discardPart();
        idle();
        log_.write(QStringLiteral("error"),
                   saveFailedText().trimmed() + QLatin1Char(' ') + error.text());
        dialogs_.box(errorCaption(), saveFailedText() + QLatin1Char('\n') + error.text(),
                     Dialogs::Icon::Error);
        return;
    }
    idle();
    log_.write(QStringLiteral("record-stop"), file + QLatin1Char(' ') + format());
    dialogs_.box(infoCaption(), finishedText() + QLatin1Char('\n') + QDir::toNativeSeparators(file),
                 Dialogs::Icon::Information);
}

void RecorderControl::recordingEnded(bool abandoned) {
    if (ending_ || !recording_) {
        return;
    }
    // Something else took the player (a bell): what was recorded is complete in the file and
    // is kept, unless the recording was given up.
    idle();
    log_.write(QStringLiteral("record-stop"),
               file_ + QLatin1Char(' ') + format() +
                   (abandoned ? QStringLiteral(" abandoned") : QStringLiteral(" interrupted")));
    if (abandoned) {
        discardPart();
        return;
    }
    try {
        keepPart();
    } catch (const AppError& error) {
        log_.write(QStringLiteral("error"),
                   saveFailedText().trimmed() + QLatin1Char(' ') + error.text());
        return;
    }
    dialogs_.notice(interruptedText().arg(QDir::toNativeSeparators(file_)));
}

void RecorderControl::recordingFailed(const QString& reason) {
    if (!recording_) {
        return;
    }
    // A recording that failed replaces nothing: an older file of that name stays as it was.
    discardPart();
    idle();
    log_.write(QStringLiteral("error"), initFailedText().trimmed() + QLatin1Char(' ') + reason);
    dialogs_.box(
        errorCaption(),
        initFailedText() + QLatin1Char('\n') + reason + QLatin1Char('\n') + checkInputText(),
        Dialogs::Icon::Error);
}

void RecorderControl::FormCloseQuery() {
    const bool wasRecording = recording_;
    ending_ = true;
    mp1_.Close();  // a recording still running is given up
    ending_ = false;
    discardPart();  // and the file of that name, if there is one, stays as it was
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
