#include "media/MissingPlugin.h"

#include <QStringList>

namespace media {

QString packageFor(const QString& what) {
    static const struct {
        const char* part;  // a factory name or a media type, found anywhere in `what`
        const char* package;
    } known[] = {
        {"fluiddec", "gstreamer1.0-plugins-bad"},
        {"midiparse", "gstreamer1.0-plugins-bad"},
        {"audio/midi", "gstreamer1.0-plugins-bad"},
        {"audio/riff-midi", "gstreamer1.0-plugins-bad"},
        {"avdec_", "gstreamer1.0-libav"},
        {"audio/x-wma", "gstreamer1.0-libav"},
        {"asfdemux", "gstreamer1.0-plugins-ugly"},
        {"video/x-ms-asf", "gstreamer1.0-plugins-ugly"},
        {"mpg123", "gstreamer1.0-plugins-good"},
        {"audio/mpeg", "gstreamer1.0-plugins-good"},
        {"wavparse", "gstreamer1.0-plugins-good"},
        {"audio/x-wav", "gstreamer1.0-plugins-good"},
        {"autoaudiosink", "gstreamer1.0-plugins-good"},
        {"pulsesink", "gstreamer1.0-pulseaudio"},
        {"playbin", "gstreamer1.0-plugins-base"},
        {"appsrc", "gstreamer1.0-plugins-base"},
        {"audioconvert", "gstreamer1.0-plugins-base"},
        {"audioresample", "gstreamer1.0-plugins-base"},
        {"filesrc", "libgstreamer1.0-0"},
    };
    for (const auto& k : known) {
        if (what.contains(QLatin1String(k.part))) {
            return QString::fromLatin1(k.package);
        }
    }
    return {};
}

QString missingText(const QString& what, const QString& description) {
    const QString part = description.isEmpty() ? what : description;
    const QString package = packageFor(what);
    return package.isEmpty()
               ? QStringLiteral("缺少 GStreamer 组件：%1").arg(part)
               : QStringLiteral("缺少 GStreamer 组件：%1（请安装 %2）").arg(part, package);
}

}  // namespace media
