#include "media/WavCapture.h"

#include <fcntl.h>
#include <gst/gst.h>
#include <unistd.h>

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "core/NativePath.h"
#include "media/TMediaPlayer.h"

namespace {

constexpr GstClockTime kDrainTimeout = 3 * GST_SECOND;

QString errorText(GstMessage* message) {
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    const QString text = error != nullptr && error->message != nullptr
                             ? QString::fromUtf8(error->message)
                             : QStringLiteral("Unknown error code");
    if (error != nullptr) {
        g_error_free(error);
    }
    return text;
}

// The loudest channel's peak (dB) of a message from the level element; nothing for another
// message. Its "peak" field is a GValueArray, the element's documented form.
std::optional<double> peakOf(GstMessage* message) {
    const GstStructure* s = gst_message_get_structure(message);
    if (s == nullptr || !gst_structure_has_name(s, "level")) {
        return std::nullopt;
    }
    const GValue* field = gst_structure_get_value(s, "peak");
    if (field == nullptr || !G_VALUE_HOLDS_BOXED(field)) {
        return std::nullopt;
    }
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    const auto* peaks = static_cast<const GValueArray*>(g_value_get_boxed(field));
    std::optional<double> loudest;
    for (guint i = 0; peaks != nullptr && i < peaks->n_values; ++i) {
        const double db =
            g_value_get_double(g_value_array_get_nth(const_cast<GValueArray*>(peaks), i));
        loudest = loudest ? std::max(*loudest, db) : db;
    }
    G_GNUC_END_IGNORE_DEPRECATIONS
    return loudest;
}

}  // namespace

WavCapture::WavCapture(QString file, media::WavFormat format)
    : file_(std::move(file)), format_(format) {
    gst_init(nullptr, nullptr);
}

WavCapture::~WavCapture() {
    halt();
}

void WavCapture::start() {
    const QByteArray source = qEnvironmentVariableIsSet("TOLLVANE_AUDIO_SOURCE")
                                  ? qgetenv("TOLLVANE_AUDIO_SOURCE")
                                  : QByteArray("autoaudiosrc");
    const QByteArray description =
        source + QByteArray(
                     " ! audioconvert ! level interval=100000000 post-messages=true"
                     " ! audioconvert ! audioresample ! capsfilter name=format ! fakesink name=out "
                     "sync=false signal-handoffs=true");
    GError* raw = nullptr;
    GstElement* pipeline = gst_parse_launch(description.constData(), &raw);
    const QString parseError =
        raw != nullptr ? QString::fromUtf8(raw->message) : QStringLiteral("Unknown error code");
    if (raw != nullptr) {
        g_error_free(raw);
    }
    if (pipeline == nullptr) {
        throw EMCIDeviceError(parseError);
    }
    pipeline_ = GST_ELEMENT(gst_object_ref_sink(pipeline));

    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING,
                                        format_.bits == 8 ? "U8" : "S16LE", "rate", G_TYPE_INT,
                                        format_.rate, "channels", G_TYPE_INT, format_.channels,
                                        "layout", G_TYPE_STRING, "interleaved", nullptr);
    GstElement* filter = gst_bin_get_by_name(GST_BIN(pipeline_), "format");
    g_object_set(filter, "caps", caps, nullptr);
    gst_object_unref(filter);
    gst_caps_unref(caps);
    fd_ = ::open(nativepath::encode(file_).constData(), O_WRONLY | O_CLOEXEC);
    if (fd_ < 0 || ::lseek(fd_, 0, SEEK_END) < 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        halt();
        throw EMCIDeviceError(reason);
    }
    dataBytes_ = 0;
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline_), "out");
    g_signal_connect(out, "handoff", G_CALLBACK(&WavCapture::onBuffer), this);
    gst_object_unref(out);

    GstBus* bus = gst_element_get_bus(pipeline_);
    watch_ = gst_bus_add_watch(bus, reinterpret_cast<GstBusFunc>(&WavCapture::onBusMessage), this);
    gst_object_unref(bus);

    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        GstBus* errors = gst_element_get_bus(pipeline_);
        QString reason = QStringLiteral("Unknown error code");
        if (GstMessage* message = gst_bus_pop_filtered(errors, GST_MESSAGE_ERROR)) {
            reason = errorText(message);
            gst_message_unref(message);
        }
        gst_object_unref(errors);
        halt();
        throw EMCIDeviceError(reason);
    }
    running_ = true;
}

// On GStreamer's streaming thread, for each captured buffer: the samples are appended, then the
// header's sizes are made to count them, so that at any moment (a crash, a kill, a power cut
// between the two writes) the file is a valid WAV of everything up to the last whole write.
void WavCapture::onBuffer(GstElement* sink, GstBuffer* buffer, GstPad*, void* self) {
    auto* capture = static_cast<WavCapture*>(self);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        return;
    }
    const bool written = capture->append(map.data, map.size);
    gst_buffer_unmap(buffer, &map);
    if (!written) {
        GST_ELEMENT_ERROR(sink, RESOURCE, WRITE, ("%s", std::strerror(errno)), (nullptr));
    }
}

bool WavCapture::append(const unsigned char* data, size_t size) {
    for (size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    // Sizes stop short of 4 GiB, as the format requires.
    dataBytes_ = std::min<quint64>(dataBytes_ + size, 0xFFFFFFFFULL - 36);
    char riff[4];
    char data32[4];
    qToLittleEndian(static_cast<quint32>(36 + dataBytes_), riff);
    qToLittleEndian(static_cast<quint32>(dataBytes_), data32);
    return ::pwrite(fd_, riff, 4, 4) == 4 && ::pwrite(fd_, data32, 4, 40) == 4;
}

int WavCapture::onBusMessage(GstBus*, GstMessage* message, void* self) {
    auto* capture = static_cast<WavCapture*>(self);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ELEMENT && capture->level) {
        if (const std::optional<double> peak = peakOf(message)) {
            capture->level(*peak);
        }
        return TRUE;
    }
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR && capture->running_) {
        // The input failed after the start (autoaudiosrc may settle on a source that fails a
        // moment later): what came before stays in the file, completed.
        const QString reason = errorText(message);
        capture->halt();
        try {
            media::finishWav(capture->file_, capture->format_);
        } catch (const std::exception&) {
            // the failure below is what the user hears of
        }
        if (capture->failed) {
            capture->failed(reason);
        }
    }
    return TRUE;
}

void WavCapture::halt() {
    running_ = false;
    if (watch_ != 0) {
        g_source_remove(watch_);
        watch_ = 0;
    }
    if (pipeline_ != nullptr) {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(pipeline_);
        pipeline_ = nullptr;
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void WavCapture::stop() {
    if (!running_) {
        return;
    }
    // The end of the stream carries every captured sample through to the file.
    gst_element_send_event(pipeline_, gst_event_new_eos());
    GstBus* bus = gst_element_get_bus(pipeline_);
    if (GstMessage* done = gst_bus_timed_pop_filtered(
            bus, kDrainTimeout, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))) {
        gst_message_unref(done);
    }
    gst_object_unref(bus);
    halt();
    media::finishWav(file_, format_);
}

void WavCapture::abandon() {
    halt();
    media::truncateToHeader(file_);
}

qint64 WavCapture::recordedMs() const {
    const qint64 bytes = std::max<qint64>(0, QFile(file_).size() - 44);
    return format_.byteRate() > 0 ? bytes * 1000 / format_.byteRate() : 0;
}
