#include "media/MidiSource.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <malloc.h>

#include <QFile>
#include <vector>

#include "core/NativePath.h"
#include "media/MidiSynth.h"

namespace {

constexpr int kBlockFrames = 512;  // 11.6 ms a buffer once playing
constexpr int kSilentFrames = 64;  // the preroll's moment of silence: 1.5 ms
constexpr std::int64_t kMaxTailFrames = 2 * MidiSynth::kRate;  // releases after the last event
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

std::int64_t toFrame(std::int64_t us) {
    return us * MidiSynth::kRate / 1000000;
}

GstClockTime toTime(std::int64_t frame) {
    return gst_util_uint64_scale(static_cast<guint64>(frame), GST_SECOND, MidiSynth::kRate);
}

}  // namespace

GstElement* MidiSource::make(MidiSource*& source) {
    GstElement* element = gst_element_factory_make("appsrc", nullptr);
    if (element == nullptr) {
        return nullptr;
    }
    auto* self = new MidiSource;
    self->element_ = element;
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "rate",
                                        G_TYPE_INT, MidiSynth::kRate, "channels", G_TYPE_INT, 2,
                                        "layout", G_TYPE_STRING, "interleaved", nullptr);
    g_object_set(element, "caps", caps, "format", GST_FORMAT_TIME, "stream-type",
                 GST_APP_STREAM_TYPE_SEEKABLE, "max-buffers", guint64{2}, nullptr);
    gst_caps_unref(caps);
    GstAppSrcCallbacks callbacks{};
    callbacks.need_data = &MidiSource::onNeedData;
    callbacks.seek_data =
        reinterpret_cast<gboolean (*)(GstAppSrc*, guint64, gpointer)>(&MidiSource::onSeekData);
    gst_app_src_set_callbacks(GST_APP_SRC(element), &callbacks, self, &MidiSource::destroy);
    source = self;
    return element;
}

void MidiSource::destroy(void* self) {
    delete static_cast<MidiSource*>(self);
}

MidiSource::~MidiSource() {
    letGo();
}

void MidiSource::setFile(const QString& file) {
    letGo();
    file_ = file;
}

void MidiSource::stopped() {
    letGo();
}

void MidiSource::letGo() {
    playing_ = false;
    if (synth_ != nullptr) {
        synth_->release(this);
        if (pinnedSong_) {
            synth_->unpin(song_->instruments);
        }
    }
    pinnedSong_ = false;
    song_.reset();
    lengthMs_ = -1;
    next_ = 0;
    frame_ = 0;
    tailFrames_ = 0;
    fresh_ = true;
    ended_ = false;
}

bool MidiSource::begin() {
    const auto fail = [this](const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        GST_ELEMENT_ERROR(element_, STREAM, DECODE, ("%s", utf8.constData()), (nullptr));
        return false;
    };
    QFile file(file_);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("无法打开 MIDI 文件：") + file.errorString());
    }
    if (file.size() > kMaxFileBytes) {
        return fail(QStringLiteral("MIDI 文件太大"));
    }
    QString why;
    song_ = midifile::parse(file.readAll(), &why);
    if (!song_) {
        return fail(why);
    }
    QString error;
    synth_ = MidiSynth::shared(&error);
    if (synth_ == nullptr) {
        return fail(error);
    }
    // appsrc takes the duration into its segment only at its next buffer, after the preroll,
    // so the length is also kept here for the player to ask.
    g_object_set(element_, "duration", toTime(toFrame(song_->lengthUs)), nullptr);
    lengthMs_ = song_->lengthUs / 1000;
    return true;
}

void MidiSource::onNeedData(GstAppSrc* src, unsigned, void* raw) {
    auto* self = static_cast<MidiSource*>(raw);
    if (self->ended_) {
        return;
    }
    if (!self->song_ && !self->begin()) {
        return;
    }
    if (!self->pinnedSong_) {
        // The instruments' samples load here, on the streaming thread: at the preroll, and
        // again for a file played once more after its end.
        self->synth_->pin(self->song_->instruments);
        self->pinnedSong_ = true;
    }
    self->push(src, !self->playing_);
}

void MidiSource::push(GstAppSrc* src, bool silent) {
    const int frames = silent ? kSilentFrames : kBlockFrames;
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, sizeof(float) * 2 * frames, nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    auto* out = reinterpret_cast<float*>(map.data);
    bool last = false;
    if (silent) {
        std::fill(out, out + 2 * frames, 0.0f);
    } else {
        if (fresh_ || !synth_->owns(this)) {
            synth_->take(this, song_->defaultPrograms);
            fresh_ = false;
        }
        // Each event is sent at its own frame: the block is rendered in pieces between them.
        const std::vector<midifile::Event>& events = song_->events;
        int done = 0;
        while (done < frames) {
            const std::int64_t at = frame_ + done;
            while (next_ < events.size() && toFrame(events[next_].us) <= at) {
                synth_->send(events[next_++]);
            }
            int piece = frames - done;
            if (next_ < events.size()) {
                piece =
                    static_cast<int>(std::min<std::int64_t>(piece, toFrame(events[next_].us) - at));
            }
            synth_->render(out + 2 * done, piece);
            done += piece;
        }
        if (next_ >= events.size()) {
            tailFrames_ += frames;
            last = synth_->activeVoices() == 0 || tailFrames_ >= kMaxTailFrames;
        }
    }
    gst_buffer_unmap(buffer, &map);
    GST_BUFFER_PTS(buffer) = toTime(frame_);
    GST_BUFFER_DURATION(buffer) = toTime(frame_ + frames) - toTime(frame_);
    frame_ += frames;
    gst_app_src_push_buffer(src, buffer);
    if (last) {
        ended_ = true;
        // Nothing sounds any more: the samples go at once, not when the file is given up, and
        // the memory they held returns to the system.
        synth_->release(this);
        synth_->unpin(song_->instruments);
        pinnedSong_ = false;
        malloc_trim(0);
        gst_app_src_end_of_stream(src);
    }
}

int MidiSource::onSeekData(GstAppSrc*, std::uint64_t offset, void* raw) {
    auto* self = static_cast<MidiSource*>(raw);
    if (!self->song_) {
        return offset == 0;  // nothing read yet: it starts at the start
    }
    // From the start (a rewind) or any time: the events before it are not heard again.
    const std::int64_t frame =
        static_cast<std::int64_t>(gst_util_uint64_scale(offset, MidiSynth::kRate, GST_SECOND));
    self->frame_ = frame;
    self->next_ = 0;
    while (self->next_ < self->song_->events.size() &&
           toFrame(self->song_->events[self->next_].us) < frame) {
        ++self->next_;
    }
    self->tailFrames_ = 0;
    self->ended_ = false;
    self->fresh_ = true;
    return TRUE;
}
