#include "link/transmission_win.h"

#include <atomic>
#include <mutex>
#include <optional>

#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"
#include "base/shell_windows_win.h"
#include "link/line_monitor_win.h"
#include "link/reply_parser.h"
#include "link/serial_port_win.h"
#include "link/traffic_log_win.h"

// Threads: `replyBuffer` is shared and guarded by ReplyLock (emptied by SendCommand, filled
// and emptied by the receive loop). `rxByteCount` is written by the receive thread only;
// sendBusy, the waiting command and the receive thread's handle belong to the user-interface
// thread. The receive thread never sends a message to a window: it posts, so that the
// user-interface thread may wait for it.

namespace {

// The wait for the port pumps messages on passes whose tick count is a multiple of 8: often
// enough for the windows, rarely enough to keep the wait close to the line.
constexpr DWORD kSendPumpTickMask = 7;
// A board that holds the line longer than this is busy or gone: the wait then sleeps 1 ms per
// pass instead of spinning, which costs nothing once the board is that slow.
constexpr DWORD kLongWaitMs = 20;
// A board that streams without ever sending CR cannot grow the reply buffer beyond this; its
// last bytes are kept, so a reply that does end in CR still parses.
constexpr size_t kReplyBufferMax = 4096;
constexpr const char* kConnectionLostText =
    "Die Verbindung zum KT4180-Controller ist unterbrochen !\r\n"
    "Bitte Kabel und Controller prüfen und den Controller neu suchen.";
constexpr const char* kConnectionLostTitle = "CNC?";

std::mutex ReplyLock;
std::string replyBuffer;
std::atomic<uint32_t> rxByteCount{0};
bool sendBusy = false;
struct WaitingCommand {
    std::string text;
    HWND guard;
    uint32_t stopCount;  // App.StopCount when it was queued
};
std::optional<WaitingCommand> Waiting;
HANDLE ReceiveThread = nullptr;
std::atomic<HWND> ReceiveOwner{nullptr};  // the main dialog, as the receive thread sees it

enum LinkUpdateKind : WPARAM { UpdatePosition = 1, UpdateRxChunk, UpdateRxCount };

struct PositionTexts {
    std::string x, y, z, p;
};

void Post(LinkUpdateKind kind, void* payload) {
    HWND main = ReceiveOwner.load();
    if (!main || !PostMessageA(main, kLinkUpdateMessage, kind, reinterpret_cast<LPARAM>(payload))) {
        if (kind == UpdatePosition) delete static_cast<PositionTexts*>(payload);
        if (kind == UpdateRxChunk) delete static_cast<std::string*>(payload);
    }
}

// The port stopped taking characters because it is gone (an adapter unplugged): close it, show
// the link as after a failed search, and tell the user once. What is sent later goes nowhere.
void LosePort(HANDLE port) {
    if (comPort.load() != port) return;
    ClosePortAndStopReceiving();
    if (!MainDialogExists()) return;
    HWND comLabel = GetDlgItem(Ui.mainDialog, ids::LblComPort);
    SetWindowTextA(comLabel, "COM??");
    SetControlColors(comLabel, RGB(255, 0, 0));
    MessageBoxA(Ui.mainDialog, kConnectionLostText, kConnectionLostTitle, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}


bool TransmitCommand(const std::string& text, HWND guard) {
    {
        std::lock_guard<std::mutex> lock(ReplyLock);
        replyBuffer.clear();
    }
    MonitorShowTx(text);
    LogTx(text);
    const uint32_t stopAtStart = App.StopCount;
    bool started = false;
    for (char c : text) {
        HANDLE port;
        const DWORD waitStart = GetTickCount();
        for (;;) {
            port = comPort.load();
            if (!MainDialogExists()) return false;
            if (port == INVALID_HANDLE_VALUE) return true;  // without a port nothing goes out
            // A port that cannot report its modem lines has no handshake line to wait for.
            if (PortOps.ctsState(port) != 0 && PortOps.bytesToTransmit(port) == 0) break;
            PollRunButtons(0);
            if (!started && (App.StopCount != stopAtStart || (guard && !IsWindow(guard)))) return false;
            // A long wait sleeps a little each pass and then lets the windows run every pass.
            const bool longWait = GetTickCount() - waitStart > kLongWaitMs;
            if (longWait || (GetTickCount() & kSendPumpTickMask) == 0) PumpMessages();
            if (longWait) Sleep(1);
        }
        if (!PortOps.writeBytes(port, std::string(1, c))) {
            LosePort(port);
            return false;
        }
        started = true;
    }
    return true;
}

DWORD WINAPI ReceiveLoop(LPVOID param) {
    HANDLE port = static_cast<HANDLE>(param);
    std::string chunk;
    while (IsWindow(ReceiveOwner.load()) && comPort.load() == port) {
        Sleep(25);
        if (comPort.load() != port) break;
        const std::string bytes = PortOps.readWaiting(port);
        if (bytes.empty()) continue;
        rxByteCount += static_cast<uint32_t>(bytes.size());
        for (char c : bytes) {
            chunk += c;
            std::lock_guard<std::mutex> lock(ReplyLock);
            replyBuffer += c;
            if (c == '\r')
                ParseReply(replyBuffer);
            else if (replyBuffer.size() > kReplyBufferMax)
                replyBuffer.erase(0, replyBuffer.size() - kReplyBufferMax / 2);
        }
        LogRx(chunk);
        Post(UpdateRxChunk, new std::string(chunk));
        chunk.clear();
    }
    return 0;
}

}  // namespace

SendResult SendCommand(const std::string& text, HWND guard) {
    if (sendBusy) {
        if (Waiting) return SendResult::Refused;
        Waiting = WaitingCommand{text, guard, App.StopCount};
        return SendResult::Queued;
    }
    sendBusy = true;
    const bool sent = TransmitCommand(text, guard);
    // The command that waited goes next, unless the user has stopped or left meanwhile.
    while (Waiting) {
        const WaitingCommand next = *Waiting;
        Waiting.reset();
        if (!MainDialogExists() || next.stopCount != App.StopCount) break;
        TransmitCommand(next.text, next.guard);
    }
    sendBusy = false;
    return sent ? SendResult::Sent : SendResult::Abandoned;
}

bool TransmissionBusy() { return sendBusy; }
bool CommandWaiting() { return Waiting.has_value(); }
void DropWaitingCommand() { Waiting.reset(); }

void ParseReply(std::string& buffer) {
    Post(UpdateRxCount, nullptr);
    const ReplyActions a = ParseReplyText(buffer);
    if (a.hasPosition) Post(UpdatePosition, new PositionTexts{a.posX, a.posY, a.posZ, a.pen});
    if (a.hasRegister && App.RegisterImage) App.RegisterImage[a.registerNumber].store(a.registerValue);
    buffer.clear();
}

void ApplyLinkUpdate(WPARAM kind, LPARAM payload) {
    HWND main = Ui.mainDialog;
    switch (kind) {
        case UpdatePosition: {
            auto* p = reinterpret_cast<PositionTexts*>(payload);
            SetDlgItemTextA(main, ids::TxtPosX, p->x.c_str());
            SetDlgItemTextA(main, ids::TxtPosY, p->y.c_str());
            SetDlgItemTextA(main, ids::TxtPosZ, p->z.c_str());
            SetDlgItemTextA(main, ids::TxtPen, p->p.c_str());
            delete p;
            break;
        }
        case UpdateRxChunk: {
            auto* s = reinterpret_cast<std::string*>(payload);
            MonitorShowRx(*s);
            delete s;
            break;
        }
        case UpdateRxCount: MonitorShowRxCount(rxByteCount.load()); break;
        default: break;
    }
}

void StartReceiveLoop(HANDLE port) {
    if (ReceiveThread) {
        WaitForSingleObject(ReceiveThread, INFINITE);
        CloseHandle(ReceiveThread);
    }
    ReceiveOwner = Ui.mainDialog;
    ReceiveThread = CreateThread(nullptr, 0, ReceiveLoop, port, 0, nullptr);
}

void ClosePortAndStopReceiving() {
    HANDLE port = comPort.exchange(INVALID_HANDLE_VALUE);
    if (ReceiveThread) {
        // The loop sees comPort change within one 25 ms pass and never blocks: waiting for it
        // to end before the port is closed means it never reads from a closed handle.
        WaitForSingleObject(ReceiveThread, INFINITE);
        CloseHandle(ReceiveThread);
        ReceiveThread = nullptr;
    }
    if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
}
