#pragma once

#include <functional>

// An audio sink for the benchmarks: behaves as "fakesink sync=true" and calls a function as each
// buffer reaches it (prerolled while pausing, rendered on time while playing). The program knows
// nothing of it: a benchmark installs it and names it in TOLLVANE_AUDIO_SINK (see kDescription).
namespace onsetsink {

inline constexpr const char* kDescription = "tollvaneonsetsink sync=true";

// Registers the element (once) and sets the function called for every rendered buffer.
void install(std::function<void()> onBuffer);

}  // namespace onsetsink
