#include "media/WavDecode.h"

#include <gst/gst.h>
#include <unistd.h>

namespace media {

int decodeToWav(const char* in, const char* out) {
    // Decoding must never take the processor from the bell that is playing meanwhile.
    if (nice(10) == -1) {
        // Kept at the program's priority: it still decodes.
    }
    gst_init(nullptr, nullptr);
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(
        "filesrc name=in ! decodebin ! audioconvert ! audio/x-raw,format=S16LE ! wavenc ! "
        "filesink name=out",
        &error);
    if (pipeline == nullptr || error != nullptr) {
        if (error != nullptr) {
            g_printerr("%s\n", error->message);
            g_error_free(error);
        }
        return 1;
    }
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "in");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_object_set(source, "location", in, nullptr);
    g_object_set(sink, "location", out, nullptr);
    gst_object_unref(source);
    gst_object_unref(sink);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool whole = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message != nullptr && !whole) {
        GError* e = nullptr;
        gst_message_parse_error(message, &e, nullptr);
        g_printerr("%s\n", e != nullptr ? e->message : "error");
        g_clear_error(&e);
    }
    if (message != nullptr) {
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    // Stopping finishes the file: the WAV header gets its final sizes.
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return whole ? 0 : 1;
}

}  // namespace media
