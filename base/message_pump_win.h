#pragma once
// The message loops of the program. Long operations run inside the handler that started them
// and keep the windows alive with pump steps; modal windows run a loop of their own.
#include <windows.h>

#include <cstdint>

#include "base/ticks.h"

// Dispatches one pending message of this thread, through the dialog-message handling of the
// window it belongs to, or sleeps 1 ms when none is pending. False once WM_QUIT was seen
// (it is posted again for the outer loops).
bool PumpMessageStep();
// Dispatches every message pending right now; false once WM_QUIT was seen.
bool PumpMessages();

// The releases of the primary mouse button our loops have dispatched, counted from 1 as each
// dispatch begins, and the number of the one being dispatched now (0: none): a button's click
// arrives while its release is dispatched.
uint32_t PrimaryReleasesSeen();
uint32_t PrimaryReleaseInDispatch();

// The clock of the waits, in milliseconds: steps of 1 ms while the program runs, of 15.6 ms
// on Windows where nobody asked for finer timer periods; the waits do right by both.
uint32_t WaitClockMs();
// One pass of a wait loop that began at waitStart (WaitClockMs): serves the windows when due
// and sleeps as style says (PlanWaitPass), or less when wakeOn is set. False once WM_QUIT was
// seen.
bool PaceWait(uint32_t waitStart, WaitStyle style, HANDLE wakeOn = nullptr);
// Waits while keepWaiting() holds, paced by PaceWait; false when WM_QUIT ended the wait.
template <class F>
bool WaitWhile(F keepWaiting, WaitStyle style) {
    const uint32_t start = WaitClockMs();
    while (keepWaiting())
        if (!PaceWait(start, style)) return false;
    return true;
}
// Waits ms with the windows served; false when WM_QUIT ended the wait.
bool WaitServing(uint32_t ms, WaitStyle style);

// Runs window modally: disables owner (when given) until the loop ends, which is when the
// window is destroyed (CloseWindowNow) or on WM_QUIT; destroys the window then.
void RunModalLoop(HWND window, HWND owner);
// Destroys window at once, also in the middle of an operation running inside its modal loop:
// whatever waits for it or for a window it owns (a progress window) sees it gone and ends.
void CloseWindowNow(HWND window);
