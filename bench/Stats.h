#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

// Prints the median, 99th percentile and worst of a set of milliseconds.
inline void report(const char* what, std::vector<double> ms) {
    if (ms.empty()) {
        std::printf("  %-28s no samples\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    const size_t p99 =
        std::min(ms.size() - 1, static_cast<size_t>(static_cast<double>(ms.size()) * 0.99));
    std::printf("  %-28s median %7.2f ms  p99 %7.2f ms  worst %7.2f ms  (%zu)\n", what,
                ms[ms.size() / 2], ms[p99], ms.back(), ms.size());
}
