#pragma once
// The manual panel against the board simulator: run by tests/e2e/manual_jog.sh, which maps
// the simulator to COM6 and says in KT_BOARD_DIR where it records the bytes it receives
// (board.raw). The tests share one main dialog and one open port, as a user's session would,
// and drive it with real mouse and key input.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/main_dialog_win.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"
#include "tests/win/win_test_util.h"

namespace manual_session {

constexpr int kBoardPort = 6;

inline std::string BoardDir() {
    char buf[1024] = {};
    const DWORD n = GetEnvironmentVariableA("KT_BOARD_DIR", buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf, n) : "";
}

inline std::string RawLogPath() { return BoardDir() + "\\board.raw"; }

inline std::string RawLog() {
    std::ifstream in(RawLogPath(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void MouseButton(bool down) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}

// The main dialog in front with the board on its port, made once per process.
inline bool OpenSession() {
    static bool open = false;
    if (open) return true;
    if (BoardDir().empty()) return false;
    // A test process killed while pressing leaves the button down for the next one.
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) MouseButton(false);
    HWND dlg = CreateMainDialog();
    if (!dlg) return false;
    ShowWindow(dlg, SW_SHOW);
    // Other test programs on the display show their dialogs at the same place.
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(dlg);
    HANDLE port = OpenSerialPort(kBoardPort);
    if (port == INVALID_HANDLE_VALUE) return false;
    comPort = port;
    StartReceiveLoop(port);
    PumpFor(200);
    open = true;
    return true;
}

inline HWND Item(int id) { return GetDlgItem(Ui.mainDialog, id); }

// Brings the main dialog in front; false if it does not get there within a second.
inline bool InFront() {
    const DWORD start = GetTickCount();
    while (GetForegroundWindow() != Ui.mainDialog || GetActiveWindow() != Ui.mainDialog) {
        if (GetTickCount() - start > 1000) return false;
        SetForegroundWindow(Ui.mainDialog);
        PumpFor(50);
    }
    return true;
}

// What the board received after `from` bytes, once nothing has arrived for 250 ms (at most
// 3 s of waiting).
inline std::string ReceivedSince(size_t from) { return FileTailWhenQuiet(RawLogPath(), from, 250, 3000); }

inline POINT Centre(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Puts the cursor on w. False, with a failure, when w stays covered by another program's
// window: a press there would land in that program.
inline bool PointAt(HWND w) {
    const POINT p = Centre(w);
    const DWORD start = GetTickCount();
    while (WindowFromPoint(p) != w) {
        if (GetTickCount() - start > 1000) {
            ADD_FAILURE() << "control " << GetDlgCtrlID(w) << " is covered";
            return false;
        }
        SetForegroundWindow(GetAncestor(w, GA_ROOT));
        PumpFor(50);
    }
    SetCursorPos(p.x, p.y);
    PumpFor(30);
    return true;
}

// Presses the left button on control, lets it go after holdMs and lets the windows run until
// afterMs past the press. The release comes from another thread: a held jog keeps this one
// busy inside its message handling.
inline void Press(HWND control, DWORD holdMs, DWORD afterMs) {
    if (!PointAt(control)) return;
    MouseButton(true);
    std::thread release([holdMs] {
        Sleep(holdMs);
        MouseButton(false);
    });
    PumpFor(afterMs);
    release.join();
}

inline void Click(HWND control) { Press(control, 60, 320); }

inline void PressKey(WORD vk) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
}

// Types text into the window with the keyboard focus, one character at a time.
inline void Type(const std::string& text) {
    for (char c : text) {
        INPUT in[2] = {};
        for (INPUT& i : in) {
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = static_cast<unsigned char>(c);
            i.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof in[0]);
        PumpFor(15);
    }
}

// Watches for message boxes of this process while it lives: remembers each one's title and
// text and whether the main dialog was disabled under it, then dismisses it the given way.
// A box that the given way does not close is closed with OK, so that a test fails instead
// of hanging; `forced` counts these.
struct BoxPatrol {
    struct Seen {
        std::string title, text;
        bool mainDisabled;
    };
    std::vector<Seen> boxes;
    std::atomic<int> dismissed{0};
    std::atomic<int> forced{0};
    std::atomic<HWND> lastBox{nullptr};
    std::function<void(HWND box)> dismiss;
    std::atomic<bool> stop{false};
    std::thread t;

    static HWND FindBox() { return FindMessageBox(); }

    explicit BoxPatrol(std::function<void(HWND)> how) : dismiss(std::move(how)) {
        t = std::thread([this] {
            HWND last = nullptr;
            while (!stop) {
                HWND box = FindBox();
                if (box && box != last) {
                    lastBox = box;
                    Sleep(100);  // as long as a person would look at it
                    boxes.push_back({WindowText(box), WindowText(GetDlgItem(box, 0xFFFF)),
                                     !IsWindowEnabled(Ui.mainDialog)});
                    dismiss(box);
                    const DWORD start = GetTickCount();
                    while (IsWindow(box) && IsWindowVisible(box) && GetTickCount() - start < 4000) Sleep(10);
                    if (IsWindow(box) && IsWindowVisible(box)) {
                        PostMessageA(box, WM_COMMAND, IDOK, 0);
                        ++forced;
                    }
                    ++dismissed;
                    last = box;
                }
                Sleep(10);
            }
        });
    }
    // Results are read after this.
    void Finish() {
        stop = true;
        if (t.joinable()) t.join();
    }
    ~BoxPatrol() { Finish(); }
};

// The ways a person dismisses a box: a click on its OK button, or the Enter key. The key goes
// to the box's focus directly, so that no other program on the display can catch it.
inline void ClickOk(HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    const POINT p = Centre(ok);
    if (WindowFromPoint(p) != ok) return;  // covered: left to the watcher
    SetCursorPos(p.x, p.y);
    Sleep(30);
    MouseButton(true);
    Sleep(30);
    MouseButton(false);
}
inline void PressEnter(HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    PostMessageA(ok, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    PostMessageA(ok, WM_KEYUP, VK_RETURN, 0xC01C0001);
}

}  // namespace manual_session
