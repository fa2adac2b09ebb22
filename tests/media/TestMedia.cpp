#include "media/TestMedia.h"

#include <gst/gst.h>

#include <QFile>
#include <cmath>

namespace testmedia {

namespace {

void le(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void be(QByteArray& out, quint32 value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

void varLen(QByteArray& out, quint32 value) {
    QByteArray bytes;
    bytes.prepend(static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0) {
        bytes.prepend(static_cast<char>((value & 0x7F) | 0x80));
    }
    out += bytes;
}

void save(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

}  // namespace

void writeWav(const QString& path, int milliseconds) {
    const quint32 rate = 44100;
    const quint32 samples = rate * static_cast<quint32>(milliseconds) / 1000;
    QByteArray out("RIFF");
    le(out, 36 + samples * 2, 4);
    out += "WAVEfmt ";
    le(out, 16, 4);
    le(out, 1, 2);  // PCM
    le(out, 1, 2);  // mono
    le(out, rate, 4);
    le(out, rate * 2, 4);
    le(out, 2, 2);
    le(out, 16, 2);
    out += "data";
    le(out, samples * 2, 4);
    for (quint32 i = 0; i < samples; ++i) {
        const double v = std::sin(2 * M_PI * 440.0 * i / rate) * 8000;
        le(out, static_cast<quint32>(static_cast<qint16>(v)) & 0xFFFF, 2);
    }
    save(path, out);
}

void writeMidi(const QString& path, int milliseconds) {
    // Division 480 ticks per quarter note at the default 120 bpm: 960 ticks per second.
    const int notes = 4;
    const quint32 ticksPerNote = static_cast<quint32>(milliseconds) * 960 / 1000 / notes;
    QByteArray track;
    const int pitches[notes] = {60, 64, 67, 72};
    for (int pitch : pitches) {
        varLen(track, 0);
        track += static_cast<char>(0x90);
        track += static_cast<char>(pitch);
        track += static_cast<char>(100);
        varLen(track, ticksPerNote);
        track += static_cast<char>(0x80);
        track += static_cast<char>(pitch);
        track += static_cast<char>(0);
    }
    varLen(track, 0);
    track += QByteArray("\xFF\x2F\x00", 3);
    QByteArray out("MThd");
    be(out, 6, 4);
    be(out, 0, 2);
    be(out, 1, 2);
    be(out, 480, 2);
    out += "MTrk";
    be(out, static_cast<quint32>(track.size()), 4);
    out += track;
    save(path, out);
}

bool encode(const QString& path, const QString& kind, int milliseconds) {
    gst_init(nullptr, nullptr);
    const int buffers = milliseconds * 44100 / 1000 / 1024;
    const QString encoder = kind == QLatin1String("mp3") ? QStringLiteral("lamemp3enc ! id3v2mux")
                                                         : QStringLiteral("avenc_wmav2 ! asfmux");
    const QString description =
        QStringLiteral(
            "audiotestsrc num-buffers=%1 samplesperbuffer=1024 ! "
            "audio/x-raw,rate=44100,channels=2 ! audioconvert ! %2 ! filesink location=\"%3\"")
            .arg(buffers)
            .arg(encoder, path);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (pipeline == nullptr) {
        g_clear_error(&error);
        return false;
    }
    g_clear_error(&error);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message != nullptr) {
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

}  // namespace testmedia
