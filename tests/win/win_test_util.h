#pragma once
// Helpers shared by the Windows-side tests.
#include <windows.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include <commctrl.h>

#include "base/message_pump_win.h"
#include "app/main_tooltips_win.h"
#include "base/tooltips_win.h"

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

// Waits, pumping messages, until done() or ms have passed.
template <class F>
bool PumpUntil(F done, DWORD ms) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        PumpMessageStep();
    }
    return true;
}

inline std::string EnvVar(const char* name) {
    char buf[1024] = {};
    const DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf, n) : "";
}

// Windows of this process found by title, message boxes and file dialogs answered from a
// helper thread (the thread under test sits in their modal loops), and work done inside a
// modal loop through a thread timer.


inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A visible top-level dialog window of this process with the given title, or nullptr.
inline HWND FindOwnWindow(const std::string& title) {
    struct Search {
        std::string title;
        HWND found;
    } search{title, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* s = reinterpret_cast<Search*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId() && IsWindowVisible(w) && WindowText(w) == s->title) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// How many windows of this process carry the title, visible or not.
inline int CountOwnWindows(const std::string& title) {
    struct Count {
        std::string title;
        int n;
    } count{title, 0};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* c = reinterpret_cast<Count*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId() && WindowText(w) == c->title) ++c->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

// A message box of this process: a dialog with the static text control 0xFFFF.
inline HWND FindMessageBox() {
    HWND box = nullptr;
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            char cls[32] = {};
            GetClassNameA(w, cls, sizeof cls);
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId() && lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w) &&
                GetDlgItem(w, 0xFFFF)) {
                *reinterpret_cast<HWND*>(p) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&box));
    return box;
}

// Answers the first message box that shows within ms: remembers its title and text and what
// else was on the screen then, and presses OK. Results are read after Wait().
struct BoxWatcher {
    std::string title, text;
    bool seen = false;
    bool mainDisabled = false;
    std::function<void()> atBox;  // runs on the helper thread while the box shows
    std::thread t;
    explicit BoxWatcher(DWORD ms, HWND main = nullptr, std::function<void()> whileShown = nullptr)
        : atBox(std::move(whileShown)) {
        t = std::thread([this, ms, main] {
            const DWORD start = GetTickCount();
            while (GetTickCount() - start < ms) {
                if (HWND box = FindMessageBox()) {
                    seen = true;
                    title = WindowText(box);
                    text = WindowText(GetDlgItem(box, 0xFFFF));
                    mainDisabled = main && !IsWindowEnabled(main);
                    if (atBox) atBox();
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
                    return;
                }
                Sleep(20);
            }
        });
    }
    void Wait() {
        if (t.joinable()) t.join();
    }
    ~BoxWatcher() { Wait(); }
};

// Answers the file dialog titled title within ms: reads the preset file name, then types
// fileName and presses OK, or cancels when fileName is empty.
struct FileDialogDriver {
    std::string preset;
    bool seen = false;
    std::thread t;
    FileDialogDriver(const std::string& title, const std::string& fileName, DWORD ms = 15000) {
        t = std::thread([this, title, fileName, ms] {
            constexpr int kFileNameCombo = 0x47C;  // cmb13 of the explorer-style dialogs
            const DWORD start = GetTickCount();
            while (GetTickCount() - start < ms) {
                HWND dlg = FindOwnWindow(title);
                HWND name = dlg ? GetDlgItem(dlg, kFileNameCombo) : nullptr;
                if (name) {
                    Sleep(200);  // let it finish its own set-up
                    seen = true;
                    preset = WindowText(name);
                    if (fileName.empty()) {
                        PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
                    } else {
                        SetWindowTextA(name, fileName.c_str());
                        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDOK)));
                    }
                    return;
                }
                Sleep(20);
            }
        });
    }
    void Wait() {
        if (t.joinable()) t.join();
    }
    ~FileDialogDriver() { Wait(); }
};

// Runs step(n) every period ms on this thread while it pumps (in a transfer's wait or a
// modal loop), for n = 0, 1, ... until step returns false.
struct TimedSteps {
    static std::function<bool(int)>& Step() {
        static std::function<bool(int)> step;
        return step;
    }
    static int& Count() {
        static int n = 0;
        return n;
    }
    static UINT_PTR& Timer() {
        static UINT_PTR id = 0;
        return id;
    }
    TimedSteps(UINT period, std::function<bool(int)> step) {
        Step() = std::move(step);
        Count() = 0;
        Timer() = SetTimer(nullptr, 0, period, [](HWND, UINT, UINT_PTR, DWORD) {
            if (!Step()) return;
            // The step may pump messages itself: it must not run again inside.
            auto step = std::move(Step());
            Step() = nullptr;
            if (step(Count()++))
                Step() = std::move(step);
            else
                KillTimer(nullptr, Timer());
        });
    }
    ~TimedSteps() {
        KillTimer(nullptr, Timer());
        Step() = nullptr;
    }
};

// The text of the tool attached to control in the program's tooltip window, "" when it has
// none. The ANSI query stops at 80 characters; the wide one returns the whole text.
inline std::string TipOf(HWND control) {
    HWND tip = TooltipWindow();
    if (!tip) return "";
    wchar_t buf[1024] = {};
    TOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = control;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.lpszText = buf;
    SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&ti));
    char out[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, buf, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// What a growing file (a board's record of what it received) holds after `from` bytes, once
// it has not grown for quietMs, waiting maxMs at most.
inline std::string FileTailWhenQuiet(const std::string& path, size_t from, DWORD quietMs, DWORD maxMs) {
    std::string seen = ReadFileBytes(path);
    DWORD quietSince = GetTickCount();
    const DWORD start = quietSince;
    while (GetTickCount() - quietSince < quietMs && GetTickCount() - start < maxMs) {
        PumpFor(25);
        std::string now = ReadFileBytes(path);
        if (now.size() != seen.size()) {
            seen.swap(now);
            quietSince = GetTickCount();
        }
    }
    return seen.size() > from ? seen.substr(from) : "";
}
