#pragma once
// Millisecond tick counts wrap after 2^32 ms (49.7 days); every comparison goes through the
// unsigned difference, which is right across the wrap.
#include <cstdint>

inline bool TicksPassed(uint32_t now, uint32_t since, uint32_t ms) { return now - since >= ms; }

// How a wait of the user-interface thread spends each pass, whatever the step of the clock it
// reads (1 ms, or the 15.6 ms of Windows' tick count): what arrives for the windows is served
// within 25 ms, and a wait with nothing due any moment sleeps instead of spinning a core.
//
// A sleep ends early when input arrives for the thread, and the pass after it serves the
// windows; a sleep that runs its length has found nothing to serve. A wait that does not sleep
// serves them once the clock has moved kServeDueMs since they were last looked at: a 1 ms clock
// then serves every 8 ms, and a clock that steps 15.6 ms moves that far at each step, so the
// gap stays below one step and one pass.
constexpr uint32_t kServeDueMs = 8;

struct WaitStyle {
    uint32_t spinMs;   // how long the wait spins before it sleeps
    uint32_t sleepMs;  // the longest sleep of a pass
};
// The sender's wait for the port: a character takes half a millisecond on the line.
constexpr WaitStyle kWaitForLine{2, 1};
// A write the driver holds, where its end wakes the wait: nothing to spin for.
constexpr WaitStyle kWaitForWrite{0, kServeDueMs};
// Replies and pauses of a register transfer: a millisecond lost counts a hundred times.
constexpr WaitStyle kWaitForBoard{0, 1};
// A person's press or release, or a time of the program's own: input ends a sleep at once.
constexpr WaitStyle kWaitForUser{0, 20};
// The preview's drawing, which has work of its own between passes.
constexpr WaitStyle kNeverSleep{UINT32_MAX, 0};

struct WaitPass {
    bool serve;        // dispatch every pending window message
    uint32_t sleepMs;  // then sleep that long at most; 0: go on at once
};

// lastLook: when the windows were last served, or a sleep found nothing for them;
// inputArrived: the last sleep was ended by input.
inline WaitPass PlanWaitPass(uint32_t now, uint32_t waitStart, uint32_t lastLook, bool inputArrived, WaitStyle style) {
    const bool sleep = style.spinMs != UINT32_MAX && TicksPassed(now, waitStart, style.spinMs);
    return {inputArrived || TicksPassed(now, lastLook, kServeDueMs), sleep ? style.sleepMs : 0};
}
