#include "link/transmission_win.h"

#include <atomic>
#include <deque>
#include <mutex>

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
// sendBusy, the pending queue and the receive thread's handle belong to the user-interface
// thread. The receive thread never sends a message to a window: it posts, so that the
// user-interface thread may wait for it.

namespace {

// The wait for the port pumps messages on passes whose tick count is a multiple of 8: often
// enough for the windows, rarely enough to keep the wait close to the line.
constexpr DWORD kSendPumpTickMask = 7;

std::mutex ReplyLock;
std::string replyBuffer;
std::atomic<uint32_t> rxByteCount{0};
bool sendBusy = false;
std::deque<std::string> PendingCommands;
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

void TransmitCommand(const std::string& text) {
    {
        std::lock_guard<std::mutex> lock(ReplyLock);
        replyBuffer.clear();
    }
    MonitorShowTx(text);
    LogTx(text);
    for (char c : text) {
        HANDLE port;
        for (;;) {
            port = comPort.load();
            if (!IsWindow(Ui.mainDialog) || port == INVALID_HANDLE_VALUE) return;
            // A port that cannot report its modem lines has no handshake line to wait for.
            if (PortOps.ctsState(port) != 0 && PortOps.bytesToTransmit(port) == 0) break;
            PollRunButtons(0);
            if ((GetTickCount() & kSendPumpTickMask) == 0) PumpMessages();
        }
        PortOps.writeBytes(port, std::string(1, c));
    }
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
            if (c == '\r') ParseReply(replyBuffer);
        }
        LogRx(chunk);
        Post(UpdateRxChunk, new std::string(chunk));
        chunk.clear();
    }
    return 0;
}

}  // namespace

void SendCommand(const std::string& text) {
    if (sendBusy) {
        PendingCommands.push_back(text);
        return;
    }
    sendBusy = true;
    std::string current = text;
    for (;;) {
        TransmitCommand(current);
        if (PendingCommands.empty()) break;
        current = PendingCommands.front();
        PendingCommands.pop_front();
    }
    sendBusy = false;
}

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
        WaitForSingleObject(ReceiveThread, 2000);
        CloseHandle(ReceiveThread);
    }
    ReceiveOwner = Ui.mainDialog;
    ReceiveThread = CreateThread(nullptr, 0, ReceiveLoop, port, 0, nullptr);
}

void ClosePortAndStopReceiving() {
    HANDLE port = comPort.exchange(INVALID_HANDLE_VALUE);
    if (ReceiveThread) {
        // The loop sees comPort change within one 25 ms pass.
        WaitForSingleObject(ReceiveThread, 2000);
        CloseHandle(ReceiveThread);
        ReceiveThread = nullptr;
    }
    if (port != INVALID_HANDLE_VALUE) CloseHandle(port);
}
