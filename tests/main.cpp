#include <gtest/gtest.h>

#include <QApplication>

// GLib, GStreamer and fontconfig keep process-wide caches that they never free; those are not
// leaks of ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libgstreamer-1.0.so\n"
           "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A fixed zone without daylight saving, so the fake clock's local times are all valid, and
    // glibc reads the zone once instead of at every local-time conversion.
    qputenv("TZ", "Asia/Shanghai");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
