#include "link/traffic_log.h"

#include <cstdio>

#include "base/numbers.h"

std::string TrafficBlock(int32_t tickCount, const std::string& data) {
    return "##### " + NumberText(tickCount) + " #####\r\n" + data;
}

bool AppendTrafficBlock(const std::string& path, int32_t tick, const std::string& data) {
    if (path.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) return false;
    const std::string block = TrafficBlock(tick, data);
    const bool written = std::fwrite(block.data(), 1, block.size(), f) == block.size();
    // A full disk may show only when the buffer is flushed.
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}
