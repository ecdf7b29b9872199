#pragma once
// Helpers shared by the Windows-side tests.
#include <windows.h>

#include <string>

#include "app/message_pump_win.h"

inline std::string WindowText(HWND w) {
    char buf[1024] = {};
    const int n = GetWindowTextA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

inline std::string ClassOf(HWND w) {
    char buf[64] = {};
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

// A child's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Lets the windows process what is pending for about ms milliseconds.
inline void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) PumpMessageStep();
}
