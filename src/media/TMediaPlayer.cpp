#include "media/TMediaPlayer.h"

#include <QMetaObject>

QString ModeText(int mode) {
    static const char16_t* const texts[] = {u"设备未准备好", u"停止", u"正在播放", u"正在录音",
                                            u"正在搜寻",     u"暂停", u"打开"};
    if (mode < 0 || mode > mpOpen) {
        return {};
    }
    return QString::fromUtf16(texts[mode]);
}

TMediaPlayer::TMediaPlayer(std::unique_ptr<PlayerBackend> backend, QObject* parent)
    : QObject(parent), backend_(std::move(backend)) {
    backend_->endOfStream = [this] { onEndOfStream(); };
    backend_->recordingFailed = [this](const QString& reason) {
        QMetaObject::invokeMethod(
            this, [this, reason] { emit RecordingFailed(reason); }, Qt::QueuedConnection);
    };
    backend_->recordingLevel = [this](double peakDb) { emit RecordingLevel(peakDb); };
    backend_->playbackFailed = [this](const QString& file, const QString& reason,
                                      const QString& detail) {
        QMetaObject::invokeMethod(
            this, [this, file, reason, detail] { emit PlaybackFailed(file, reason, detail); },
            Qt::QueuedConnection);
    };
    backend_->outputChanged = [this](bool available) {
        outputMissing_ = !available;
        QMetaObject::invokeMethod(
            this, [this, available] { emit OutputChanged(available); }, Qt::QueuedConnection);
    };
}

TMediaPlayer::~TMediaPlayer() {
    backend_->endOfStream = nullptr;
    backend_->recordingFailed = nullptr;
    backend_->recordingLevel = nullptr;
    backend_->playbackFailed = nullptr;
    backend_->outputChanged = nullptr;
    if (open_) {
        backend_->close();
    }
}

void TMediaPlayer::requireOpen() const {
    if (!open_) {
        throw EMCIDeviceError(QStringLiteral("No MCI device open"));
    }
}

void TMediaPlayer::deliver() {
    QMetaObject::invokeMethod(this, &TMediaPlayer::OnNotify, Qt::QueuedConnection);
}

void TMediaPlayer::endPlayback() {
    if (playPending_) {
        playPending_ = false;
        deliver();
    }
}

bool TMediaPlayer::takeRequest() {
    const bool armed = Notify;
    Notify = false;
    return armed;
}

void TMediaPlayer::onEndOfStream() {
    endPlayback();
}

void TMediaPlayer::Close() {
    if (!open_) {
        return;
    }
    endPlayback();
    const bool notify = takeRequest();
    const bool wasRecording = backend_->recording();
    backend_->close();
    open_ = false;
    if (notify) {
        deliver();
    }
    if (wasRecording) {
        emit RecordingEnded(true);
    }
}

void TMediaPlayer::Prepare(const QString& file, TMPDeviceTypes type) {
    prepared_ = file;
    backend_->prepare(file, type);
}

void TMediaPlayer::DropPrepared() {
    if (!prepared_.isEmpty()) {
        prepared_.clear();
        backend_->dropPrepared();
    }
}

void TMediaPlayer::openWith(const QString& file, const std::function<void()>& operation) {
    Close();  // an open device is closed first; that close consumes an armed request
    file_ = file;
    operation();
    open_ = true;
    if (takeRequest()) {
        deliver();
    }
}

void TMediaPlayer::Open(const QString& file, TMPDeviceTypes type) {
    openWith(file, [&] {
        if (file == prepared_) {
            prepared_.clear();  // taken now; another file leaves it ready for later
        }
        backend_->open(file, type);
    });
}

void TMediaPlayer::OpenRecording(const QString& file) {
    openWith(file, [&] { backend_->openRecording(file); });
}

void TMediaPlayer::Play() {
    requireOpen();
    endPlayback();  // a sound still playing is replaced
    const bool notify = takeRequest();
    if (AutoRewind && backend_->positionMs() >= backend_->lengthMs()) {
        backend_->rewind();
    }
    playPending_ = true;
    try {
        backend_->play();
    } catch (...) {
        playPending_ = false;
        throw;
    }
    if (notify) {
        deliver();
    }
}

void TMediaPlayer::command(bool endsPlayback, const std::function<void()>& operation) {
    requireOpen();
    if (endsPlayback) {
        endPlayback();
    }
    const bool notify = takeRequest();
    operation();
    if (notify) {
        deliver();
    }
}

void TMediaPlayer::Stop() {
    const bool wasRecording = open_ && backend_->recording();
    command(true, [this] { backend_->stop(); });
    if (wasRecording) {
        emit RecordingEnded(false);
    }
}

void TMediaPlayer::StartRecording() {
    command(true, [this] { backend_->startRecording(); });
}

void TMediaPlayer::Save() {
    command(false, [this] { backend_->save(file_); });
}

qint64 TMediaPlayer::Position() {
    return open_ ? backend_->positionMs() : 0;
}

qint64 TMediaPlayer::Length() {
    requireOpen();
    return backend_->lengthMs();
}

int TMediaPlayer::Mode() {
    if (!open_) {
        return mpNotReady;
    }
    if (backend_->recording()) {
        return mpRecording;
    }
    return backend_->playing() ? mpPlaying : mpStopped;
}
