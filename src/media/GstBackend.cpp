#include "media/GstBackend.h"

#include <gst/gst.h>

#include <QtGlobal>
#include <memory>

#include "core/NativePath.h"
#include "media/Soundfont.h"

namespace {

// Owners for the GStreamer references this file takes, so none of them leaks on any path.
struct ObjectUnref {
    void operator()(void* p) const { gst_object_unref(p); }
};
struct MessageUnref {
    void operator()(GstMessage* m) const { gst_message_unref(m); }
};
struct ErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};
struct StringFree {
    void operator()(gchar* s) const { g_free(s); }
};
using BusPtr = std::unique_ptr<GstBus, ObjectUnref>;
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;
using StringPtr = std::unique_ptr<gchar, StringFree>;

constexpr GstClockTime kStateTimeout = 10 * GST_SECOND;
constexpr int kPlayFlagAudio = 0x2;
constexpr int kPlayFlagSoftVolume = 0x10;

void initialiseOnce() {
    static const bool done = [] {
        gst_init(nullptr, nullptr);
        // fluidsynth is the MIDI synthesiser; keep other MIDI decoders from being picked first.
        if (GstPluginFeature* wild =
                gst_registry_lookup_feature(gst_registry_get(), "wildmididec")) {
            gst_plugin_feature_set_rank(wild, GST_RANK_NONE);
            gst_object_unref(wild);
        }
        return true;
    }();
    (void)done;
}

void onElementSetup(GstElement*, GstElement* element, gpointer) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory != nullptr && g_strcmp0(GST_OBJECT_NAME(factory), "fluiddec") == 0) {
        const QString soundfont = media::findSoundfont();
        if (!soundfont.isEmpty()) {
            g_object_set(element, "soundfont", nativepath::encode(soundfont).constData(), nullptr);
        }
    }
}

}  // namespace

void GstBackend::Unref::operator()(GstElement* element) const {
    gst_element_set_state(element, GST_STATE_NULL);
    gst_object_unref(element);
}

GstBackend::GstBackend() {
    initialiseOnce();
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (playbin == nullptr) {
        qFatal("GStreamer's playbin is missing (install gstreamer1.0-plugins-base)");
    }
    playbin_.reset(GST_ELEMENT(gst_object_ref_sink(playbin)));
    g_object_set(playbin_.get(), "flags", kPlayFlagAudio | kPlayFlagSoftVolume, nullptr);

    GstElement* sink = nullptr;
    const QByteArray description = qgetenv("TOLLVANE_AUDIO_SINK");
    if (!description.isEmpty()) {
        GError* raw = nullptr;
        sink = gst_parse_bin_from_description(description.constData(), TRUE, &raw);
        const ErrorPtr error(raw);
        if (sink == nullptr) {
            qWarning("TOLLVANE_AUDIO_SINK \"%s\" is not usable: %s", description.constData(),
                     error ? error->message : "unknown error");
        }
    }
    if (sink == nullptr) {
        sink = gst_element_factory_make("autoaudiosink", nullptr);
    }
    if (sink != nullptr) {
        g_object_set(playbin_.get(), "audio-sink", sink, nullptr);
    }
    g_signal_connect(playbin_.get(), "element-setup", G_CALLBACK(onElementSetup), nullptr);

    const BusPtr bus(gst_element_get_bus(playbin_.get()));
    watch_ =
        gst_bus_add_watch(bus.get(), reinterpret_cast<GstBusFunc>(&GstBackend::onBusMessage), this);
}

GstBackend::~GstBackend() {
    if (watch_ != 0) {
        g_source_remove(watch_);
    }
}

int GstBackend::onBusMessage(GstBus*, GstMessage* message, void* self) {
    static_cast<GstBackend*>(self)->handle(message);
    return TRUE;
}

void GstBackend::handle(GstMessage* message) {
    switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            if (!playing_) {
                return;
            }
            if (length_ < 0) {
                gint64 position = 0;
                if (gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &position)) {
                    length_ = position / GST_MSECOND;
                }
            }
            playing_ = false;
            atEnd_ = true;
            gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
            if (endOfStream) {
                endOfStream();
            }
            break;
        case GST_MESSAGE_ERROR: {
            // A failure while playing ends that playback, as running to the end would.
            GError* raw = nullptr;
            gst_message_parse_error(message, &raw, nullptr);
            const ErrorPtr error(raw);
            qWarning("playback failed: %s", error ? error->message : "unknown error");
            if (playing_) {
                playing_ = false;
                gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
                if (endOfStream) {
                    endOfStream();
                }
            }
            break;
        }
        default:
            break;  // warnings (such as no sound device, using a fake sink) are not errors
    }
}

void GstBackend::waitForState() {
    gst_element_get_state(playbin_.get(), nullptr, nullptr, kStateTimeout);
}

QString GstBackend::takeError() {
    const BusPtr bus(gst_element_get_bus(playbin_.get()));
    QString text;
    while (GstMessage* raw = gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)) {
        const MessagePtr message(raw);
        GError* rawError = nullptr;
        gst_message_parse_error(message.get(), &rawError, nullptr);
        const ErrorPtr error(rawError);
        if (text.isEmpty() && error && error->message != nullptr) {
            text = QString::fromUtf8(error->message);
        }
    }
    return text;
}

void GstBackend::dropEndOfStream() {
    const BusPtr bus(gst_element_get_bus(playbin_.get()));
    while (GstMessage* raw = gst_bus_pop_filtered(bus.get(), GST_MESSAGE_EOS)) {
        gst_message_unref(raw);
    }
}

bool GstBackend::recording() const {
    return capture_ && capture_->running();
}

void GstBackend::open(const QString& file, TMPDeviceTypes) {
    close();
    if ((recordFormat_ = media::emptyRecordingFormat(file))) {
        recordTarget_ = file;
        length_ = 0;
        return;
    }
    GError* rawError = nullptr;
    const StringPtr uri(gst_filename_to_uri(nativepath::encode(file).constData(), &rawError));
    const ErrorPtr uriError(rawError);
    if (!uri) {
        throw EMCIDeviceError(uriError ? QString::fromUtf8(uriError->message)
                                       : QStringLiteral("Unknown error code"));
    }
    g_object_set(playbin_.get(), "uri", uri.get(), nullptr);
    const GstStateChangeReturn result = gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
    GstState state = GST_STATE_VOID_PENDING;
    const GstStateChangeReturn settled =
        result == GST_STATE_CHANGE_FAILURE
            ? result
            : gst_element_get_state(playbin_.get(), &state, nullptr, kStateTimeout);
    if (settled != GST_STATE_CHANGE_SUCCESS || state != GST_STATE_PAUSED) {
        QString text = takeError();
        gst_element_set_state(playbin_.get(), GST_STATE_NULL);
        throw EMCIDeviceError(text.isEmpty() ? QStringLiteral("Unknown error code") : text);
    }
    gint64 duration = 0;
    length_ =
        gst_element_query_duration(playbin_.get(), GST_FORMAT_TIME, &duration) && duration >= 0
            ? duration / GST_MSECOND
            : -1;
}

void GstBackend::close() {
    if (recording()) {
        capture_->abandon();  // closed while recording: the recording was given up
    }
    capture_.reset();
    recordTarget_.clear();
    recordFormat_.reset();
    recorded_ = false;
    gst_element_set_state(playbin_.get(), GST_STATE_NULL);
    playing_ = false;
    atEnd_ = false;
    length_ = -1;
}

void GstBackend::play() {
    if (recordingTarget()) {
        return;  // nothing to play yet
    }
    atEnd_ = false;
    playing_ = true;
    gst_element_set_state(playbin_.get(), GST_STATE_PLAYING);
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
    gst_element_set_state(playbin_.get(), GST_STATE_PAUSED);
    waitForState();
    dropEndOfStream();
}

void GstBackend::rewind() {
    gst_element_seek_simple(playbin_.get(), GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            0);
    waitForState();
    atEnd_ = false;
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
    if (length_ < 0) {
        gint64 duration = 0;
        if (gst_element_query_duration(playbin_.get(), GST_FORMAT_TIME, &duration) &&
            duration >= 0) {
            length_ = duration / GST_MSECOND;
        }
    }
    return std::max<qint64>(length_, 0);
}

qint64 GstBackend::positionMs() {
    if (recordingTarget()) {
        return lengthMs();
    }
    if (atEnd_) {
        return lengthMs();
    }
    gint64 position = 0;
    if (!gst_element_query_position(playbin_.get(), GST_FORMAT_TIME, &position) || position < 0) {
        return 0;
    }
    const qint64 ms = position / GST_MSECOND;
    const qint64 length = lengthMs();
    return length > 0 ? std::min(ms, length) : ms;
}
