#pragma once

#include <QString>

// What the program says when this computer's GStreamer lacks a part it needs: the part, and
// the Debian package that brings it.
namespace media {

// The package that brings an element (by factory name, "fluiddec") or a decoder for a media
// type ("decoder-audio/midi", as GStreamer's missing-plugin messages name it); empty when
// unknown.
QString packageFor(const QString& what);

// "缺少 GStreamer 组件：fluiddec（请安装 gstreamer1.0-plugins-bad）"
QString missingText(const QString& what, const QString& description = {});

}  // namespace media
