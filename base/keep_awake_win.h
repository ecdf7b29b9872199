#pragma once
// Windows' idle timer counts only the keyboard and the mouse: an hour-long plot or a register
// transfer left alone would be cut off when the PC goes to sleep, with the tool in the work.
// While the machine works, the program asks Windows to keep the system awake (the screen may
// still sleep), and gives the request back when the work ends. User-interface thread only.
#include <windows.h>

// The call that asks Windows; a test puts its own here.
extern EXECUTION_STATE(WINAPI* SetExecutionState)(EXECUTION_STATE flags);

// Held while the machine works; the first holder asks, the last one to let go gives it back.
struct KeepAwake {
    KeepAwake();
    ~KeepAwake() { Release(); }
    KeepAwake(const KeepAwake&) = delete;
    KeepAwake& operator=(const KeepAwake&) = delete;
    // Lets go before the end of the holder's scope (a run that Stop has ended).
    void Release();
    bool held = true;
};
