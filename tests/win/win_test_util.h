#pragma once
// Helpers of the Windows-side tests: windows as the user sees them, boxes and file dialogs
// answered, mouse input, and the board simulated in this process behind the port.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_dialog_win.h"
#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/files_win.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"
#include "base/settings_win.h"
#include "base/tooltips_win.h"
#include "link/board_commands.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"
#include "sim/sim_port_win.h"
#include "tests/unit/test_files.h"

inline std::string ClassOf(HWND w) {
    char buf[64] = {};
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}
inline std::string TempFolder(const std::string& name) {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    CreateDirectoryA((tmp + name).c_str(), nullptr);
    return tmp + name;
}

inline void PumpFor(DWORD ms) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms;) PumpMessageStep();
}
// Waits until done() or ms have passed: pumping on the thread under test, sleeping on a helper.
template <class F>
bool PumpUntil(F done, DWORD ms = 5000, bool pump = true) {
    for (const DWORD start = GetTickCount(); !done(); pump ? void(PumpMessageStep()) : Sleep(10))
        if (GetTickCount() - start > ms) return false;
    return true;
}
template <class F>
bool WaitUntil(F done, DWORD ms = 5000) {
    return PumpUntil(done, ms, false);
}

// A visible window of this process with the title, or else a message box (static text 0xFFFF).
inline HWND FindOwnWindow(const std::string& title = "") {
    std::pair<std::string, HWND> s{title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<std::pair<std::string, HWND>*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            const bool box = ClassOf(w) == "#32770" && GetDlgItem(w, 0xFFFF);
            if (pid == GetCurrentProcessId() && IsWindowVisible(w) &&
                (s->first.empty() ? box : ControlText(w) == s->first))
                s->second = w;
            return !s->second;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.second;
}

// A control's background, set by its parent when the system asks before painting.
inline COLORREF BackOf(HWND c) {
    const LONG style = GetWindowLongA(c, GWL_STYLE);
    UINT message = WM_CTLCOLORSTATIC;  // labels, read-only boxes, check boxes and group boxes
    if (ClassOf(c) == "Edit" && !(style & ES_READONLY)) message = WM_CTLCOLOREDIT;
    if (ClassOf(c) == "Button" && (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON) message = WM_CTLCOLORBTN;
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageA(GetParent(c), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(c));
    const COLORREF color = GetBkColor(dc);
    DeleteDC(dc);
    return color;
}

// A control as the user sees it: id, class, caption and rectangle in its parent's client
// area, "1037 Static COMx 142,34 52x16"; a status bar, which the system docks, without one.
inline std::string Looks(HWND c) {
    RECT r = {};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, GetParent(c), reinterpret_cast<POINT*>(&r), 2);
    const std::string s = std::to_string(GetDlgCtrlID(c)) + " " + ClassOf(c) + " " + ControlText(c);
    if (ClassOf(c) == STATUSCLASSNAMEA) return s;
    return s + " " + std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
           "x" + std::to_string(r.bottom - r.top);
}
// The controls of parent in creation order.
inline std::vector<std::string> Children(HWND parent) {
    std::vector<std::string> all;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(Looks(c));
    return all;
}

// The tip attached to control, "" without one; the wide query: the ANSI one stops at 80.
inline std::string TipOf(HWND control) {
    wchar_t buf[1024] = {};
    TOOLINFOW ti = {sizeof ti, 0, control, reinterpret_cast<UINT_PTR>(control), {}, nullptr, buf, 0, nullptr};
    SendMessageW(TooltipWindow(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&ti));
    char out[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, buf, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// While it lives, a helper thread answers the modal loops the thread under test sits in: the
// file dialog titled `dialog` gets `fileName` (cancel when empty), `beforeFileName` running
// first; each message box is remembered, `whileShown` runs, `answer` closes it (OK, or Yes or
// No for a question). Results are read after Finish().
struct Hand {
    struct Box {
        std::string title, text;
        bool mainDisabled;
    };
    std::vector<Box> boxes;
    std::string preset;  // the name the file dialog offered
    bool dialogSeen = false;
    std::atomic<bool> stop{false};
    std::thread t;

    static inline std::atomic<Hand*> BoxTaker{nullptr};  // the oldest hand alive: one answer to a box

    explicit Hand(std::string dialog = "", std::string fileName = "", std::function<void()> whileShown = nullptr,
                  int answer = IDOK, std::function<void()> beforeFileName = nullptr) {
        Hand* none = nullptr;
        BoxTaker.compare_exchange_strong(none, this);
        t = std::thread([=] {
            for (; !stop; Sleep(10)) {
                HWND dlg = dialog.empty() || dialogSeen ? nullptr : FindOwnWindow(dialog);
                HWND name = dlg ? GetDlgItem(dlg, 0x47C) : nullptr;  // its file name box
                // Ready once it has the focus somewhere: its own set-up is over.
                if (name && WaitUntil([dlg] { return GetForegroundWindow() == dlg; }, 2000)) {
                    dialogSeen = true;
                    preset = ControlText(name);
                    if (beforeFileName) beforeFileName();
                    SetWindowTextA(name, fileName.c_str());
                    PostMessageA(dlg, WM_COMMAND, fileName.empty() ? IDCANCEL : IDOK, 0);
                }
                HWND box = BoxTaker == this ? FindOwnWindow() : nullptr;
                if (!box || ControlText(box) == dialog) continue;
                boxes.push_back(
                    {ControlText(box), ControlText(GetDlgItem(box, 0xFFFF)), !IsWindowEnabled(Ui.MainDialog)});
                if (whileShown) whileShown();
                for (int tries = 0; tries < 3 && IsWindowVisible(box); ++tries) {  // OK may come too early
                    PostMessageA(box, WM_COMMAND, answer, 0);
                    WaitUntil([box] { return !IsWindowVisible(box); }, 4000);
                }
            }
        });
    }
    Hand& Finish() {
        stop = true;
        if (t.joinable()) t.join();
        Hand* me = this;
        BoxTaker.compare_exchange_strong(me, nullptr);
        return *this;
    }
    // Every box it answered, "title|text", one per line.
    std::string Said() {
        std::string all;
        for (const Box& b : Finish().boxes) all += (all.empty() ? "" : "\n") + b.title + "|" + b.text;
        return all;
    }
    ~Hand() { Finish(); }
};
inline const std::string kBusyBox = std::string(kBoardBusyTitle) + "|" + kBoardBusyMessage;

// Runs step(n) every period ms on this thread while it pumps (inside a wait or a modal loop),
// for n = 0, 1, ... until step returns false.
struct TimedSteps {
    static inline std::function<bool(int)> step;
    static inline int n = 0;
    static inline bool running = false;  // a step may pump: a tick inside it waits for the next one
    static inline UINT_PTR timer = 0;
    TimedSteps(UINT period, std::function<bool(int)> s) {
        step = std::move(s);
        n = 0;
        timer = SetTimer(nullptr, 0, period, [](HWND, UINT, UINT_PTR, DWORD) CALLBACK {
            if (running) return;
            running = true;
            const bool more = step && step(n++);
            running = false;
            if (!more) {
                KillTimer(nullptr, timer);
                step = nullptr;
            }
        });
    }
    ~TimedSteps() {
        KillTimer(nullptr, timer);
        step = nullptr;
    }
};

// Real mouse input: MOUSEEVENTF_LEFTDOWN or MOUSEEVENTF_LEFTUP.
inline void Mouse(DWORD flags) {
    INPUT in = {INPUT_MOUSE, {}};
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

// The board simulated in this process behind the program's port (the demo program's): the
// only one with a CTS line, which a test can also hold, and whose received bytes a test reads
// at once. The sender's calls come from this thread; the receive loop's go to the board alone.
inline SimBoard& Board = SimPortBoard;
inline PortDriver SimOps;       // the board's driver, which the test's wraps
inline bool ReportCts = true;   // false: the port cannot tell (like a pseudo-terminal)
inline bool HoldCts = false;    // the test holds CTS off
inline std::string Written;     // what the sender started writing, a character held till its time-out twice
inline std::string Received;    // what reached the board over the line; guarded by SimPortLock
inline bool LastCtsOn = true;   // what the sender saw at its last look
inline int WritesWhileOff = 0;  // writes started after the sender last saw CTS off: must stay 0
inline int Writes = 0;          // writes started
inline bool WriteHeld = false;  // the last look at the write found the driver holding it
inline int64_t WriteStartUs = 0;
inline int EmptyWrites = 0;  // writes that ended with nothing written (held till the time-out)

// The driver holds the sender's write for CTS, not just for the character before it.
inline bool WriteHeldLong() { return WriteHeld && SimPortClockUs() - WriteStartUs > 20000; }
inline std::string BoardReceived() {
    std::lock_guard<std::mutex> hold(SimPortLock);
    SimLineAdvance(SimPortLine, SimPortBoard, SimPortClockUs());
    return Received;
}

// Puts the board behind the program's port at the end of a line of the given kind (pacing on,
// factory registers), nothing yet received.
inline void ConnectBoard(const SimLineOptions& line = {}) {
    PortOps = SimOps = StartSimPort({}, line);
    Written.clear();
    LastCtsOn = ReportCts = true, WriteHeld = false;
    WritesWhileOff = Writes = EmptyWrites = 0;
    PortOps.ctsState = [](HANDLE port) {
        LastCtsOn = !HoldCts && SimOps.ctsState(port) == 1;
        return ReportCts ? LastCtsOn ? 1 : 0 : -1;
    };
    PortOps.startWrite = [](HANDLE port, const std::string& bytes) {
        WritesWhileOff += ReportCts && !LastCtsOn;
        Written += bytes;
        ++Writes;
        WriteStartUs = SimPortClockUs();
        return SimOps.startWrite(port, bytes);
    };
    PortOps.writeProgress = [](HANDLE port) {
        const WriteStatus s = SimOps.writeProgress(port);
        WriteHeld = s.state == WriteState::Pending;
        EmptyWrites += s.state == WriteState::Ended && s.written == 0;
        return s;
    };
    comPort = PortOps.open(kSimPortNumber);
    PortOps.setCtsFlowControl(comPort, true);  // as the search leaves a port with CTS on
    std::lock_guard<std::mutex> hold(SimPortLock);
    Received.clear();
    SimPortLine.received = &Received;
}
