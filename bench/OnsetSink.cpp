#include "OnsetSink.h"

#include <gst/base/gstbasesink.h>
#include <gst/gst.h>

namespace onsetsink {
namespace {

struct Sink {
    GstBaseSink parent;
};
struct SinkClass {
    GstBaseSinkClass parent;
};

std::function<void()> callback;

GstFlowReturn render(GstBaseSink*, GstBuffer*) {
    if (callback) {
        callback();
    }
    return GST_FLOW_OK;
}

void classInit(gpointer klass, gpointer) {
    static GstStaticPadTemplate sinkTemplate =
        GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);
    auto* element = static_cast<GstElementClass*>(klass);
    gst_element_class_set_static_metadata(element, "Onset sink", "Sink/Audio",
                                          "Reports each rendered buffer", "Tollvane");
    gst_element_class_add_static_pad_template(element, &sinkTemplate);
    // The preroll buffer arrives while the pipeline pauses (during Open); rendering happens at
    // each buffer's time once it plays. Both count as the buffer reaching the sink.
    static_cast<GstBaseSinkClass*>(klass)->preroll = render;
    static_cast<GstBaseSinkClass*>(klass)->render = render;
}

}  // namespace

void install(std::function<void()> onBuffer) {
    static const GType type = [] {
        gst_init(nullptr, nullptr);
        const GType t = g_type_register_static_simple(GST_TYPE_BASE_SINK, "TollvaneOnsetSink",
                                                      sizeof(SinkClass), classInit, sizeof(Sink),
                                                      nullptr, static_cast<GTypeFlags>(0));
        gst_element_register(nullptr, "tollvaneonsetsink", GST_RANK_NONE, t);
        return t;
    }();
    (void)type;
    callback = std::move(onBuffer);
}

}  // namespace onsetsink
