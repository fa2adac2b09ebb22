#include "media/GstBackend.h"

#include <gst/gst.h>
#include <sys/stat.h>

#include <QTimer>
#include <QtGlobal>

#include "core/NativePath.h"

namespace {

void initialiseOnce() {
    static const bool done = [] {
        gst_init(nullptr, nullptr);
        GstRegistry* registry = gst_registry_get();
        // fluidsynth is the MIDI synthesiser; keep other MIDI decoders from being picked first.
        if (GstPluginFeature* wild = gst_registry_lookup_feature(registry, "wildmididec")) {
            gst_plugin_feature_set_rank(wild, GST_RANK_NONE);
            gst_object_unref(wild);
        }
        // MP3 is decoded by mpg123, so FFmpeg (and what it draws in) is loaded only for WMA.
        if (GstPluginFeature* mpg123 = gst_registry_lookup_feature(registry, "mpg123audiodec")) {
            gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY + 1);
            gst_object_unref(mpg123);
        }
        return true;
    }();
    (void)done;
}

// Why a path cannot be played before anything opens it: only a regular file (or a link to one)
// can be; a directory, a FIFO or a device would hold or fail the reader.
QString notPlayable(const QString& file) {
    struct stat info {};
    if (::stat(nativepath::encode(file).constData(), &info) != 0) {
        return {};  // the pipeline names what is wrong with a missing path
    }
    if (S_ISREG(info.st_mode)) {
        return {};
    }
    return S_ISDIR(info.st_mode) ? QStringLiteral("不是声音文件，而是一个文件夹：") + file
                                 : QStringLiteral("不是普通文件（管道或设备）：") + file;
}

}  // namespace

GstBackend::GstBackend(int openWaitMs, std::unique_ptr<DecodedSounds> decoded)
    : openWaitMs_(openWaitMs), decoded_(std::move(decoded)) {
    if (decoded_) {
        decoded_->onDecoded = [this, told = std::move(decoded_->onDecoded)](const QString& file,
                                                                            bool made) {
            if (told) {
                told(file, made);
            }
            copyEnded(file);
        };
    }
    initialiseOnce();
    noData_ = new QTimer;
    noData_->setSingleShot(true);
    noData_->setInterval(kNoDataMs);
    QObject::connect(noData_, &QTimer::timeout, [this] { checkNoData(); });
}

GstBackend::~GstBackend() {
    delete noData_;
    if (capture_ && capture_->running()) {
        capture_->abandon();
    }
    for (std::unique_ptr<SoundPipeline>& p : pipelines_) {
        p.reset();
    }
    SoundPipeline::joinStopping();
}

SoundPipeline& GstBackend::freePipeline(TMPDeviceTypes type, const QString& file) {
    const SoundPipeline::Kind kind = SoundPipeline::kindFor(type, file);
    const int base = kind == SoundPipeline::Kind::Midi ? 2 : 0;
    for (int i = base; i < base + 2; ++i) {
        std::unique_ptr<SoundPipeline>& p = pipelines_[i];
        if (!p) {
            p = std::make_unique<SoundPipeline>(
                kind, [this](SoundPipeline& pipeline, GstMessage* message) {
                    handle(pipeline, message);
                });
        }
        if (p.get() != active_ && p.get() != standby_) {
            return *p;
        }
    }
    Q_UNREACHABLE();
}

void GstBackend::handle(SoundPipeline& pipeline, GstMessage* message) {
    if (&pipeline != active_) {
        return;  // a prepared file keeps its error (SoundPipeline::error) for its open()
    }
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_ASYNC_DONE:
            // The preroll is done. The pipeline may already be on its way to playing (Play came
            // first), so its state is not asked: it would still read as changing.
            if (!ready_ && !failed_) {
                becameReady();
            }
            break;
        case GST_MESSAGE_EOS:
            if (!playing_) {
                return;
            }
            if (length_ < 0) {
                gint64 position = 0;
                if (gst_element_query_position(pipeline.element(), GST_FORMAT_TIME, &position)) {
                    length_ = position / GST_MSECOND;
                }
            }
            playing_ = false;
            atEnd_ = true;
            gst_element_set_state(pipeline.element(), GST_STATE_PAUSED);
            SoundPipeline::giveBackMemory();
            if (endOfStream) {
                endOfStream();
            }
            break;
        case GST_MESSAGE_ERROR:
            fail(pipeline.error, pipeline.errorDetail);
            break;
        default:
            break;
    }
}

void GstBackend::fail(const QString& reason, const QString& detail) {
    if (failed_) {
        return;
    }
    failed_ = true;
    noData_->stop();
    const bool wasPlaying = playing_;
    playing_ = false;
    const QString file = activeFile_;  // the name opened, not the decoded copy's
    if (active_ != nullptr) {
        active_->unload();  // a stuck file is let go without waiting for it
    }
    if (playbackFailed) {
        playbackFailed(file, reason, detail);
    }
    if (wasPlaying && endOfStream) {
        endOfStream();  // the playback has ended, as running to the end would end it
    }
}

void GstBackend::checkNoData() {
    if (active_ != nullptr && !ready_ && !failed_) {
        fail(QStringLiteral("声音文件在 %1 秒内没有给出数据").arg(kNoDataMs / 1000));
    }
}

void GstBackend::becameReady() {
    ready_ = true;
    noData_->stop();
    length_ = active_->lengthMs();
    const bool silent = active_->silentOutput();
    if (silent_ != silent) {
        const bool report = silent || silent_.has_value();  // a working output is news only
        silent_ = silent;                                   // after it was missing
        if (report && outputChanged) {
            outputChanged(!silent);
        }
    }
}

bool GstBackend::recording() const {
    return capture_ && capture_->running();
}

void GstBackend::prepare(const QString& file, TMPDeviceTypes type) {
    dropPrepared();
    if (!notPlayable(file).isEmpty()) {
        return;  // nothing to get ready: open() says what is wrong with it
    }
    const QString played = source(file);
    if (decoded_ && decoded_->pending(file)) {
        awaitingCopy_ = Awaited{file, type};  // made ready from its copy (see copyEnded)
        return;
    }
    try {
        SoundPipeline& pipeline = freePipeline(type, file);
        pipeline.load(played);
        standby_ = &pipeline;
    } catch (const EMCIDeviceError&) {
        return;  // open() says what is wrong
    }
}

QString GstBackend::source(const QString& file) {
    return decoded_ ? decoded_->playable(file) : file;
}

void GstBackend::copyEnded(const QString& file) {
    if (awaitingCopy_ && awaitingCopy_->file == file) {
        const Awaited awaited = *awaitingCopy_;
        prepare(awaited.file, awaited.type);  // from the copy, or the file itself without one
    }
}

void GstBackend::dropPrepared() {
    awaitingCopy_.reset();
    if (standby_ != nullptr) {
        standby_->unload();
        standby_ = nullptr;
    }
}

void GstBackend::openRecording(const QString& file) {
    close();
    recordFormat_ = media::emptyRecordingFormat(file);
    if (!recordFormat_) {
        throw EMCIDeviceError(QStringLiteral("不是可以录音的 WAV 文件：") + file);
    }
    recordTarget_ = file;
    length_ = 0;
}

void GstBackend::open(const QString& file, TMPDeviceTypes type) {
    close();
    awaitingCopy_.reset();  // its copy came too late: the file plays itself
    if (const QString refusal = notPlayable(file); !refusal.isEmpty()) {
        throw EMCIDeviceError(refusal);
    }
    const QString played = source(file);
    if (standby_ != nullptr && standby_->file() == played &&
        standby_->kind() == SoundPipeline::kindFor(type, file)) {
        active_ = standby_;  // made ready while the last sound played: only swapped in
        standby_ = nullptr;
        active_->freshOutput();
    } else {
        if (standby_ != nullptr && standby_->file() == played) {
            dropPrepared();  // made ready for another device type
        }
        SoundPipeline& pipeline = freePipeline(type, file);
        pipeline.load(played);
        active_ = &pipeline;
    }
    activeFile_ = file;
    failed_ = false;
    ready_ = false;
    if (active_->settle(active_->settled() ? 0 : openWaitMs_)) {
        becameReady();
    } else if (!active_->error.isEmpty()) {
        const QString text = active_->error;
        const QString detail = active_->errorDetail;
        close();
        throw EMCIDeviceError(text, detail);
    } else {
        noData_->start();  // still getting ready: it plays when it is, or fails in time
    }
}

void GstBackend::close() {
    if (recording()) {
        capture_->abandon();  // closed while recording: the recording was given up
    }
    capture_.reset();
    recordTarget_.clear();
    recordFormat_.reset();
    recorded_ = false;
    noData_->stop();
    if (active_ != nullptr) {
        active_->unload();
        active_ = nullptr;
    }
    activeFile_.clear();
    playing_ = false;
    atEnd_ = false;
    ready_ = false;
    failed_ = false;
    length_ = -1;
}

void GstBackend::play() {
    if (recordingTarget() || active_ == nullptr || failed_) {
        return;  // nothing to play (yet)
    }
    atEnd_ = false;
    playing_ = true;
    active_->setPlaying(true);
    gst_element_set_state(active_->element(), GST_STATE_PLAYING);
}

void GstBackend::stop() {
    if (recording()) {
        capture_->stop();
        recorded_ = true;
        return;
    }
    if (!playing_) {
        return;
    }
    playing_ = false;
    active_->setPlaying(false);
    // Paused without waiting; an end of stream that still arrives is ignored (not playing).
    gst_element_set_state(active_->element(), GST_STATE_PAUSED);
}

void GstBackend::rewind() {
    atEnd_ = false;
    if (active_ == nullptr || !ready_) {
        return;  // not yet started: it is at its start
    }
    gst_element_seek_simple(active_->element(), GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            0);
}

void GstBackend::startRecording() {
    if (!recordingTarget()) {
        throw EMCIDeviceError(QStringLiteral("该设备不能录音"));
    }
    capture_ = std::make_unique<WavCapture>(recordTarget_, *recordFormat_);
    capture_->failed = [this](const QString& reason) {
        if (recordingFailed) {
            recordingFailed(reason);
        }
    };
    capture_->level = [this](double peakDb) {
        if (recordingLevel) {
            recordingLevel(peakDb);
        }
    };
    recorded_ = false;
    capture_->start();
}

void GstBackend::save(const QString& file) {
    if (recording()) {
        stop();
    }
    if (!recorded_ || file != recordTarget_) {
        throw EMCIDeviceError(QStringLiteral("没有可以保存的录音"));
    }
}

qint64 GstBackend::lengthMs() {
    if (recordingTarget()) {
        return capture_ ? capture_->recordedMs() : 0;
    }
    if (length_ < 0 && ready_) {
        length_ = active_->lengthMs();
    }
    return std::max<qint64>(length_, 0);
}

qint64 GstBackend::positionMs() {
    if (recordingTarget() || atEnd_) {
        return lengthMs();
    }
    gint64 position = 0;
    if (active_ == nullptr || !ready_ ||
        !gst_element_query_position(active_->element(), GST_FORMAT_TIME, &position) ||
        position < 0) {
        return 0;
    }
    const qint64 ms = position / GST_MSECOND;
    const qint64 length = lengthMs();
    return length > 0 ? std::min(ms, length) : ms;
}
