#pragma once
// Millisecond tick counts wrap after 2^32 ms (49.7 days); every comparison goes through the
// unsigned difference, which is right across the wrap.
#include <cstdint>

inline bool TicksPassed(uint32_t now, uint32_t since, uint32_t ms) { return now - since >= ms; }

// How a wait of the user-interface thread spends each pass, whatever the step of the clock it
// reads (1 ms, or the 15.6 ms of Windows' tick count): the windows are served at least every
// 25 ms, and a wait with nothing due any moment sleeps instead of spinning a processor core.
//
// Serving is due once the clock has moved kServeDueMs since the windows were last served (by
// this wait or any other). A 1 ms clock then serves every 8 ms; a clock that steps 15.6 ms
// moves that far at each step, so the gap stays below one step and one pass.
constexpr uint32_t kServeDueMs = 8;
// A wait that never sleeps: the preview's drawing, which has work of its own between passes.
constexpr uint32_t kNeverSleep = UINT32_MAX;

struct WaitPass {
    bool serve;  // dispatch every pending window message
    bool sleep;  // then sleep a millisecond, or until input arrives
};

// spinMs is how long the wait may spin before it sleeps: the sender's wait for a character the
// line takes within a millisecond spins that long, waits on the user or the board not at all.
// Once it sleeps, the wait serves the windows on every pass.
inline WaitPass PlanWaitPass(uint32_t now, uint32_t waitStart, uint32_t lastServed, uint32_t spinMs) {
    const bool sleep = spinMs != kNeverSleep && TicksPassed(now, waitStart, spinMs);
    return {sleep || TicksPassed(now, lastServed, kServeDueMs), sleep};
}
