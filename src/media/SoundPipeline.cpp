#include "media/SoundPipeline.h"

#include <gst/gst.h>
#include <gst/pbutils/missing-plugins.h>
#include <malloc.h>

#include <future>
#include <vector>

#include "core/NativePath.h"
#include "media/MidiSource.h"
#include "media/MissingPlugin.h"
#include "media/Soundfont.h"
#include "media/TMediaPlayer.h"

namespace {

constexpr int kPlayFlagAudio = 0x2;
constexpr int kPlayFlagSoftVolume = 0x10;

struct ErrorFree {
    void operator()(GError* e) const { g_error_free(e); }
};
struct StringFree {
    void operator()(gchar* s) const { g_free(s); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;
using StringPtr = std::unique_ptr<gchar, StringFree>;

// The output: the bin described by TOLLVANE_AUDIO_SINK (for example "fakesink sync=true"),
// else GStreamer's automatic choice of the computer's audio output.
GstElement* makeSink() {
    const QByteArray description = qgetenv("TOLLVANE_AUDIO_SINK");
    if (!description.isEmpty()) {
        GError* raw = nullptr;
        GstElement* sink = gst_parse_bin_from_description(description.constData(), TRUE, &raw);
        const ErrorPtr error(raw);
        if (sink != nullptr) {
            return sink;
        }
        qWarning("TOLLVANE_AUDIO_SINK \"%s\" is not usable: %s", description.constData(),
                 error ? error->message : "unknown error");
    }
    return gst_element_factory_make("autoaudiosink", nullptr);
}

// An audio sink of GStreamer's (pulsesink, alsasink, ...) keeps 200 ms queued by default: what
// the classroom hears comes that much after the bell. Asked for a short buffer instead.
// TOLLVANE_OUTPUT_BUFFER_MS sets another buffer, for a PC too slow to keep the short one filled.
void askLowLatency(GstElement* element) {
    static const gint64 bufferUs = [] {
        bool ok = false;
        const int ms = qEnvironmentVariableIntValue("TOLLVANE_OUTPUT_BUFFER_MS", &ok);
        return ok && ms >= 20 && ms <= 2000 ? gint64{ms} * 1000 : SoundPipeline::kBufferUs;
    }();
    GObjectClass* type = G_OBJECT_GET_CLASS(element);
    if (g_object_class_find_property(type, "buffer-time") != nullptr &&
        g_object_class_find_property(type, "latency-time") != nullptr) {
        g_object_set(element, "buffer-time", bufferUs, "latency-time",
                     gint64{SoundPipeline::kLatencyUs}, nullptr);
    }
}

void onDeepElementAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
    askLowLatency(element);  // the automatic output makes its real sink when it starts
}

void askLowLatencyOfAll(GstElement* sink) {
    askLowLatency(sink);
    if (!GST_IS_BIN(sink)) {
        return;
    }
    GstIterator* it = gst_bin_iterate_recurse(GST_BIN(sink));
    gst_iterator_foreach(
        it,
        [](const GValue* value, gpointer) {
            askLowLatency(GST_ELEMENT(g_value_get_object(value)));
        },
        nullptr);
    gst_iterator_free(it);
}

// Makes the elements of one pipeline, all or none: a factory this computer lacks is an error
// naming it and its package, never an abort.
std::vector<GstElement*> makeAll(std::initializer_list<const char*> factories) {
    std::vector<GstElement*> made;
    for (const char* factory : factories) {
        GstElement* element = gst_element_factory_make(factory, nullptr);
        if (element == nullptr) {
            for (GstElement* e : made) {
                gst_object_unref(gst_object_ref_sink(e));
            }
            throw EMCIDeviceError(media::missingText(QString::fromLatin1(factory)));
        }
        made.push_back(element);
    }
    return made;
}

bool isFactory(GstElement* element, const char* name) {
    GstElementFactory* factory = gst_element_get_factory(element);
    return factory != nullptr && g_strcmp0(GST_OBJECT_NAME(factory), name) == 0;
}

// Finds the silent stand-in that the automatic output holds when it found no device.
bool holdsSilentStandIn(GstElement* element) {
    if (!GST_IS_BIN(element)) {
        return false;
    }
    const bool automatic = isFactory(element, "autoaudiosink");
    bool found = false;
    GST_OBJECT_LOCK(element);
    for (GList* child = GST_BIN(element)->children; child != nullptr && !found;
         child = child->next) {
        GstElement* e = GST_ELEMENT(child->data);
        found = (automatic && isFactory(e, "fakesink")) || holdsSilentStandIn(e);
    }
    GST_OBJECT_UNLOCK(element);
    return found;
}

// The threads that stop pipelines stuck in their preroll. Each is joined once it is done, and
// every one that is left when the player goes, so none outlives the program.
class Stoppers {
  public:
    ~Stoppers() { joinAll(); }
    void add(std::function<void()> stop) {
        std::erase_if(running_, [](const std::future<void>& f) {
            return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        });
        running_.push_back(std::async(std::launch::async, std::move(stop)));
    }
    void joinAll() { running_.clear(); }  // a future of std::async waits for its thread

  private:
    std::vector<std::future<void>> running_;
};

Stoppers& stoppers() {
    static Stoppers s;
    return s;
}

}  // namespace

SoundPipeline::Kind SoundPipeline::kindFor(TMPDeviceTypes type, const QString& file) {
    const QString suffix = file.section(QLatin1Char('.'), -1);
    const bool midiFile = file.contains(QLatin1Char('.')) &&
                          (suffix.compare(QLatin1String("mid"), Qt::CaseInsensitive) == 0 ||
                           suffix.compare(QLatin1String("midi"), Qt::CaseInsensitive) == 0);
    return type == dtSequencer || midiFile ? Kind::Midi : Kind::Any;
}

void SoundPipeline::giveBackMemory() {
    stoppers().add([] { malloc_trim(0); });
}

void SoundPipeline::joinStopping() {
    stoppers().joinAll();
}

SoundPipeline::SoundPipeline(Kind kind, Handler handler)
    : kind_(kind), handler_(std::move(handler)) {
    build();
}

SoundPipeline::~SoundPipeline() {
    retire();
}

void SoundPipeline::build() {
    GstElement* sink = nullptr;
    if (kind_ == Kind::Any) {
        GstElement* playbin = makeAll({"playbin"}).front();
        sink = makeSink();
        g_object_set(playbin, "flags", kPlayFlagAudio | kPlayFlagSoftVolume, "audio-sink", sink,
                     nullptr);
        element_ = GST_ELEMENT(gst_object_ref_sink(playbin));
    } else {
        const std::vector<GstElement*> chain = makeAll({"audioconvert", "audioresample"});
        MidiSource* midi = nullptr;
        GstElement* source = MidiSource::make(midi);
        sink = makeSink();
        if (source == nullptr || sink == nullptr) {
            for (GstElement* e : {chain[0], chain[1], source, sink}) {
                if (e != nullptr) {
                    gst_object_unref(gst_object_ref_sink(e));
                }
            }
            throw EMCIDeviceError(
                media::missingText(QLatin1String(source == nullptr ? "appsrc" : "autoaudiosink")));
        }
        GstElement* pipeline = gst_pipeline_new(nullptr);
        gst_bin_add_many(GST_BIN(pipeline), source, chain[0], chain[1], sink, nullptr);
        gst_element_link_many(source, chain[0], chain[1], sink, nullptr);
        midi_ = midi;
        element_ = GST_ELEMENT(gst_object_ref_sink(pipeline));
    }
    sink_ = sink;
    if (sink != nullptr) {
        askLowLatencyOfAll(sink);
    }
    g_signal_connect(element_, "deep-element-added", G_CALLBACK(onDeepElementAdded), nullptr);
    GstBus* bus = gst_element_get_bus(element_);
    watch_ =
        gst_bus_add_watch(bus, reinterpret_cast<GstBusFunc>(&SoundPipeline::onBusMessage), this);
    gst_object_unref(bus);
}

void SoundPipeline::retire() {
    if (element_ == nullptr) {
        return;
    }
    if (watch_ != 0) {
        g_source_remove(watch_);
        watch_ = 0;
    }
    const bool quick = settled() || !error.isEmpty() || GST_STATE(element_) <= GST_STATE_READY;
    GstElement* element = element_;
    element_ = nullptr;
    midi_ = nullptr;  // goes with its element
    sink_ = nullptr;
    auto stop = [element] {
        gst_element_set_state(element, GST_STATE_NULL);
        gst_object_unref(element);
    };
    if (quick) {
        stop();
    } else {
        // Still prerolling, perhaps stuck reading a file that gives nothing: stopping it joins
        // its reading thread, so that happens away from the caller.
        stoppers().add(stop);
    }
}

void SoundPipeline::noteError(GstMessage* message) {
    if (gst_is_missing_plugin_message(message) && missing_.isEmpty()) {
        // Posted before the error it causes: the error then says what is missing.
        const StringPtr detail(gst_missing_plugin_message_get_installer_detail(message));
        const StringPtr description(gst_missing_plugin_message_get_description(message));
        missing_ =
            media::missingText(detail ? QString::fromUtf8(detail.get()) : QString(),
                               description ? QString::fromUtf8(description.get()) : QString());
        return;
    }
    if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_ERROR || !error.isEmpty()) {
        return;
    }
    GError* raw = nullptr;
    gchar* rawDebug = nullptr;
    gst_message_parse_error(message, &raw, &rawDebug);
    const ErrorPtr e(raw);
    const StringPtr debug(rawDebug);
    error = !missing_.isEmpty()          ? missing_
            : e && e->message != nullptr ? QString::fromUtf8(e->message)
                                         : QStringLiteral("Unknown error code");
    errorDetail = debug ? QString::fromUtf8(debug.get()) : QString();
}

void SoundPipeline::takeErrors() {
    // The bus is dispatched by the event loop, which does not run while the caller waits: a
    // failure found meanwhile is read here, so the caller gets GStreamer's own text.
    GstBus* bus = gst_element_get_bus(element_);
    while (GstMessage* message = gst_bus_pop_filtered(
               bus, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ELEMENT))) {
        noteError(message);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    if (error.isEmpty()) {
        error = QStringLiteral("Unknown error code");
    }
}

int SoundPipeline::onBusMessage(GstBus*, GstMessage* message, void* self) {
    auto* pipeline = static_cast<SoundPipeline*>(self);
    pipeline->noteError(message);
    pipeline->handler_(*pipeline, message);
    return TRUE;
}

void SoundPipeline::load(const QString& file) {
    unload();
    if (element_ == nullptr) {
        build();  // a rebuild that failed before is tried again; it throws what is missing
    }
    error.clear();
    errorDetail.clear();
    missing_.clear();
    const QByteArray path = nativepath::encode(file);
    if (kind_ == Kind::Any) {
        GError* rawError = nullptr;
        const StringPtr uri(gst_filename_to_uri(path.constData(), &rawError));
        const ErrorPtr uriError(rawError);
        if (!uri) {
            throw EMCIDeviceError(uriError ? QString::fromUtf8(uriError->message)
                                           : QStringLiteral("Unknown error code"));
        }
        g_object_set(element_, "uri", uri.get(), nullptr);
    } else {
        midi_->setFile(file);
    }
    file_ = file;
    if (gst_element_set_state(element_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE) {
        takeErrors();
    }
}

void SoundPipeline::unload() {
    if (file_.isEmpty()) {
        return;
    }
    file_.clear();
    if (!settled() && error.isEmpty()) {
        retire();
        try {
            build();
        } catch (const EMCIDeviceError&) {
            // Said by the next load(), which builds again.
        }
        return;
    }
    // The MIDI chain stays ready; a playbin lets its decoders go.
    gst_element_set_state(element_, kind_ == Kind::Midi ? GST_STATE_READY : GST_STATE_NULL);
    if (midi_ != nullptr) {
        midi_->stopped();  // its streaming thread has ended: the synthesiser is free
        giveBackMemory();  // the samples its instruments held
    }
    GstBus* bus = gst_element_get_bus(element_);
    gst_bus_set_flushing(bus, TRUE);  // nothing of the old file is handled after this
    gst_bus_set_flushing(bus, FALSE);
    gst_object_unref(bus);
}

void SoundPipeline::freshOutput() {
    if (element_ == nullptr || !settled()) {
        return;  // still prerolling: its output starts when it is ready
    }
    // Only the output starts anew: it drops its stream and waits for a new preroll, which the
    // flushing seek to the start sends from what upstream already read and decoded.
    gst_element_set_state(sink_, GST_STATE_READY);
    gst_element_sync_state_with_parent(sink_);
    if (!gst_element_seek_simple(
            element_, GST_FORMAT_TIME,
            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), 0)) {
        // A stream that cannot seek would leave the output waiting: read again from the start.
        gst_element_set_state(element_, GST_STATE_READY);
        gst_element_set_state(element_, GST_STATE_PAUSED);
    }
}

void SoundPipeline::setPlaying(bool playing) {
    if (midi_ != nullptr) {
        midi_->setPlaying(playing);
    }
}

bool SoundPipeline::settle(int ms) {
    GstState state = GST_STATE_VOID_PENDING;
    const GstStateChangeReturn result = gst_element_get_state(
        element_, &state, nullptr, static_cast<GstClockTime>(ms) * GST_MSECOND);
    if (result == GST_STATE_CHANGE_FAILURE) {
        takeErrors();
    }
    return result == GST_STATE_CHANGE_SUCCESS && state >= GST_STATE_PAUSED;
}

bool SoundPipeline::settled() const {
    if (element_ == nullptr) {
        return false;
    }
    GstState state = GST_STATE_VOID_PENDING;
    return gst_element_get_state(element_, &state, nullptr, 0) == GST_STATE_CHANGE_SUCCESS &&
           state >= GST_STATE_PAUSED;
}

qint64 SoundPipeline::lengthMs() const {
    if (midi_ != nullptr) {
        return midi_->lengthMs();
    }
    gint64 duration = 0;
    return element_ != nullptr &&
                   gst_element_query_duration(element_, GST_FORMAT_TIME, &duration) && duration >= 0
               ? duration / GST_MSECOND
               : -1;
}

bool SoundPipeline::silentOutput() const {
    return holdsSilentStandIn(element_);
}
