#pragma once
// Millisecond tick counts wrap after 2^32 ms (49.7 days); every comparison goes through the
// unsigned difference, which is right across the wrap.
#include <cstdint>

inline bool TicksPassed(uint32_t now, uint32_t since, uint32_t ms) { return now - since >= ms; }

// Something done every period ms, at its first chance and then whenever a period has passed.
struct PeriodicTick {
    bool started = false;
    uint32_t last = 0;
    bool Due(uint32_t now, uint32_t period) {
        if (started && !TicksPassed(now, last, period)) return false;
        started = true;
        last = now;
        return true;
    }
};
