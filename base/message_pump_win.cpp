#include "base/message_pump_win.h"

#include <mmsystem.h>

#include <vector>

namespace {

// When this thread's messages were last dispatched, or a sleep found none; and whether the
// last sleep was ended by input.
uint32_t LastLook = 0;
bool InputArrived = false;

// Sleeps ms (the program asks Windows for 1 ms timer periods), or less when input arrives for
// this thread or wakeOn is set.
void SleepUnlessInput(uint32_t ms, HANDLE wakeOn = nullptr) {
    const DWORD handles = wakeOn ? 1 : 0;
    const DWORD r =
        MsgWaitForMultipleObjectsEx(handles, wakeOn ? &wakeOn : nullptr, ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    InputArrived = r == WAIT_OBJECT_0 + handles;
    if (r == WAIT_TIMEOUT) LastLook = WaitClockMs();
}

struct ModalEntry {
    HWND window;
    HWND owner;  // disabled by the loop, or nullptr
    bool ended;
};
std::vector<ModalEntry> Modals;  // innermost last; user-interface thread only

// Releases of the primary mouse button, numbered as their dispatch begins, and the number of
// the one being dispatched now (0: none). A click is sent while its release is dispatched.
uint32_t ReleasesSeen = 0;
uint32_t ReleaseInDispatch = 0;

ModalEntry* FindModal(HWND window) {
    for (auto& m : Modals)
        if (m.window == window) return &m;
    return nullptr;
}

// Tab, Enter and the arrow keys move between controls in every window of ours.
void DispatchToWindow(MSG& msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && IsDialogMessageA(root, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

// Windows reports the primary button as the left one, also where the user swapped them.
void Dispatch(MSG& msg) {
    if (msg.message != WM_LBUTTONUP) return DispatchToWindow(msg);
    const uint32_t outer = ReleaseInDispatch;
    ReleaseInDispatch = ++ReleasesSeen;
    DispatchToWindow(msg);
    ReleaseInDispatch = outer;
}

// A WM_QUIT taken from the queue is posted again for the outermost loop, and ends the pumping.
bool DispatchUnlessQuit(MSG& msg) {
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    Dispatch(msg);
    return true;
}

void Looked() {
    LastLook = WaitClockMs();
    InputArrived = false;
}

}  // namespace

uint32_t PrimaryReleasesSeen() { return ReleasesSeen; }
uint32_t PrimaryReleaseInDispatch() { return ReleaseInDispatch; }

bool PumpMessageStep() {
    Looked();
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return DispatchUnlessQuit(msg);
    SleepUnlessInput(1);
    return true;
}

bool PumpMessages() {
    Looked();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!DispatchUnlessQuit(msg)) return false;
    return true;
}

// The multimedia clock moves in the timer period the program asks for, 1 ms, and costs no more
// than the tick count.
uint32_t WaitClockMs() { return timeGetTime(); }

bool PaceWait(uint32_t waitStart, WaitStyle style, HANDLE wakeOn) {
    const WaitPass pass = PlanWaitPass(WaitClockMs(), waitStart, LastLook, InputArrived, style);
    if (pass.serve && !PumpMessages()) return false;
    if (pass.sleepMs) SleepUnlessInput(pass.sleepMs, wakeOn);
    return true;
}

bool WaitServing(uint32_t ms, WaitStyle style) {
    const uint32_t start = WaitClockMs();
    return WaitWhile([&] { return !TicksPassed(WaitClockMs(), start, ms); }, style);
}

void RunModalLoop(HWND window, HWND owner) {
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    Modals.push_back({window, ownerWasEnabled ? owner : nullptr, false});
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    MSG msg;
    for (;;) {
        ModalEntry* m = FindModal(window);
        if (!m || m->ended || !IsWindow(window)) break;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0) break;
        Dispatch(msg);
    }
    for (size_t i = Modals.size(); i-- > 0;) {
        if (Modals[i].window == window) {
            Modals.erase(Modals.begin() + static_cast<long>(i));
            break;
        }
    }
    // Enable the owner before the window goes, so that the focus returns to the owner.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    if (IsWindow(window)) DestroyWindow(window);
}

void CloseWindowNow(HWND window) {
    // The owner first, so that the focus returns to it when the window goes.
    if (ModalEntry* m = FindModal(window)) {
        m->ended = true;
        if (m->owner) EnableWindow(m->owner, TRUE);
    }
    DestroyWindow(window);
}
