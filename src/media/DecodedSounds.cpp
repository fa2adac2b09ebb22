#include "media/DecodedSounds.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "core/NativePath.h"

namespace {

QString partPath(const QString& copy) {
    return copy + QStringLiteral(".part");
}

}  // namespace

DecodedSounds::DecodedSounds(const QString& folder, Helper helper)
    : folder_(folder), helper_(std::move(helper)) {
    removeStale();
}

DecodedSounds::~DecodedSounds() {
    if (process_ != nullptr) {
        process_->disconnect();
        process_->kill();
        process_->waitForFinished(2000);
        QFile::remove(partPath(decodingCopy_));
        delete process_;
    }
    delete ended_;
    delete timeout_;
}

bool DecodedSounds::wanted(const QString& file) {
    return file.endsWith(QLatin1String(".wma"), Qt::CaseInsensitive);
}

QString DecodedSounds::copyPath(const QString& file) const {
    const QFileInfo info(file);
    if (!info.isFile()) {
        return {};
    }
    const QString version = info.absoluteFilePath() + QLatin1Char('\n') +
                            QString::number(info.size()) + QLatin1Char('\n') +
                            QString::number(info.lastModified().toMSecsSinceEpoch());
    const QByteArray key =
        QCryptographicHash::hash(version.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir(folder_).filePath(QString::fromLatin1(key) + QStringLiteral(".wav"));
}

QString DecodedSounds::playable(const QString& file) {
    if (!wanted(file)) {
        return file;
    }
    const QString copy = copyPath(file);
    if (copy.isEmpty() || failed_.contains(copy)) {
        return file;
    }
    if (nativepath::isFile(copy)) {
        // Played: its time of change says when, so a copy in use is never removed as stale.
        utimensat(AT_FDCWD, nativepath::encode(copy).constData(), nullptr, 0);
        return copy;
    }
    if (decodingCopy_ != copy &&
        std::find(waiting_.begin(), waiting_.end(), file) == waiting_.end()) {
        waiting_.push_back(file);
        startNext();
    }
    return file;
}

bool DecodedSounds::pending(const QString& file) const {
    return (process_ != nullptr && decoding_ == file) ||
           std::find(waiting_.begin(), waiting_.end(), file) != waiting_.end();
}

void DecodedSounds::startNext() {
    while (process_ == nullptr && !waiting_.empty()) {
        const QString file = waiting_.front();
        waiting_.pop_front();
        const QString copy = copyPath(file);
        if (copy.isEmpty() || nativepath::isFile(copy) || failed_.contains(copy)) {
            continue;  // gone, or made meanwhile
        }
        if (!QDir().mkpath(folder_)) {
            failed_.insert(copy);
            continue;
        }
        decoding_ = file;
        decodingCopy_ = copy;
        delete ended_;
        ended_ = nullptr;
        process_ = new QProcess;
        process_->setStandardOutputFile(QProcess::nullDevice());
        process_->setStandardErrorFile(QProcess::nullDevice());
        QObject::connect(process_, &QProcess::finished, [this](int code, QProcess::ExitStatus how) {
            helperEnded(how == QProcess::NormalExit && code == 0);
        });
        QObject::connect(process_, &QProcess::errorOccurred, [this](QProcess::ProcessError e) {
            if (e == QProcess::FailedToStart) {
                helperEnded(false);
            }
        });
        if (timeout_ == nullptr) {
            timeout_ = new QTimer;
            timeout_->setSingleShot(true);
            QObject::connect(timeout_, &QTimer::timeout, [this] {
                if (process_ != nullptr) {
                    process_->kill();  // ends in helperEnded(false)
                }
            });
        }
        timeout_->start(kHelperMs);
        QStringList arguments = helper_.arguments;
        arguments << QFileInfo(file).absoluteFilePath() << partPath(copy);
        process_->start(helper_.program, arguments);
        return;
    }
}

void DecodedSounds::helperEnded(bool made) {
    timeout_->stop();
    const QString part = partPath(decodingCopy_);
    // A whole copy has more than its 44-byte header; it becomes visible in one step.
    made = made && QFileInfo(part).size() > 44 &&
           ::rename(nativepath::encode(part).constData(), nativepath::encode(decodingCopy_)) == 0;
    if (!made) {
        QFile::remove(part);
        failed_.insert(decodingCopy_);
    }
    ended_ = process_;  // still sending the signal that called this: deleted at the next start
    process_ = nullptr;
    const QString file = decoding_;
    decoding_.clear();
    decodingCopy_.clear();
    if (onDecoded) {
        onDecoded(file, made);
    }
    startNext();
}

void DecodedSounds::removeStale() {
    const QDateTime oldest = QDateTime::currentDateTime().addDays(-kKeepDays);
    QDir dir(folder_);
    for (const QFileInfo& entry :
         dir.entryInfoList({QStringLiteral("*.wav"), QStringLiteral("*.wav.part")}, QDir::Files)) {
        // A part file is what a helper left when the program ended during its work.
        if (entry.fileName().endsWith(QLatin1String(".part")) || entry.lastModified() < oldest) {
            QFile::remove(entry.absoluteFilePath());
        }
    }
}
