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
#include "link/link_updates.h"
#include "link/reply_parser.h"
#include "link/serial_port_win.h"
#include "link/traffic_log_win.h"

// Threads: `replyBuffer` is shared and guarded by ReplyLock (emptied by SendCommand, filled
// and emptied by the receive loop). `rxByteCount` is written by the receive thread only;
// sendBusy, the waiting command and the receive thread's handle belong to the user-interface
// thread. The receive thread never sends a message to a window: it posts, so that the
// user-interface thread may wait for it; what it posts about waits in Updates (link_updates.h).

namespace {

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
bool halfSent = false;  // the command going out has begun on the wire
// Counts the closings of comPort: a port opened again may have the handle of the one before
// (the simulated board's always has), and a command must not go on to it.
uint32_t portClosings = 0;
struct WaitingCommand {
    std::string text;
    HWND guard;
    uint32_t stopCount;  // App.StopCount when it was queued
};
std::optional<WaitingCommand> Waiting;
HANDLE ReceiveThread = nullptr;
std::atomic<HWND> ReceiveOwner{nullptr};  // the main dialog, as the receive thread sees it

LinkUpdates Updates;

// Posts the update message when the note says none is on its way.
void Post(bool due) {
    if (!due) return;
    HWND main = ReceiveOwner.load();
    if (!main || !PostMessageA(main, kLinkUpdateMessage, 0, 0)) NotePostFailed(Updates);
}

// The port stopped taking characters because it is gone (an adapter unplugged): close it, show
// the link as after a failed search, and tell the user once. What is sent later goes nowhere.
void LosePort(HANDLE port) {
    if (comPort.load() != port) return;
    ClosePortAndStopReceiving();
    if (!MainDialogExists()) return;
    HWND comLabel = GetDlgItem(Ui.MainDialog, ids::LblComPort);
    SetWindowTextA(comLabel, "COM??");
    SetControlColors(comLabel, RGB(255, 0, 0));
    MessageBoxA(Ui.MainDialog, kConnectionLostText, kConnectionLostTitle, MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL);
}

// One character at a time, each once CTS is on and no write is pending. A character counts as
// sent only when the driver says it went out: a write it held until the write time-out wrote
// nothing, and the same character is written again. While a write is pending the sender waits
// as it waits for CTS. The command belongs to the port it began on: closed or replaced by a
// search, that port gets nothing more of it, and neither does the new one.
bool TransmitCommand(const std::string& text, HWND guard) {
    {
        std::lock_guard<std::mutex> lock(ReplyLock);
        replyBuffer.clear();
    }
    MonitorShowTx(text);
    LogTx(text);
    const HANDLE port = comPort.load();
    const uint32_t closingsAtStart = portClosings;
    const uint32_t stopAtStart = App.StopCount;
    bool started = false;
    for (char c : text) {
        const uint32_t waitStart = WaitClockMs();
        bool writing = false;
        for (;;) {
            const bool portGone = portClosings != closingsAtStart;
            if (!MainDialogExists() || portGone) {
                // Closing ends a held write at once; a closed port has ended it already.
                if (writing && !portGone) PortOps.cancelWrite(port);
                return false;
            }
            if (port == INVALID_HANDLE_VALUE) return true;  // without a port nothing goes out
            WriteStatus w{WriteState::Ended, 0};
            if (writing) {
                w = PortOps.writeProgress(port);
                // A port that cannot report its modem lines has no handshake line to wait for.
            } else if (PortOps.ctsState(port) != 0 && PortOps.bytesToTransmit(port) == 0) {
                w = PortOps.startWrite(port, std::string(1, c));
                writing = started = true;
            }
            if (writing && w.state == WriteState::Failed) {
                LosePort(port);
                return false;
            }
            if (writing && w.state == WriteState::Ended) {
                if (w.written > 0) {
                    halfSent = true;
                    break;
                }
                writing = false;  // held till the time-out: written again once CTS is back
            }
            PollRunButtons(0);
            if (!started && (App.StopCount != stopAtStart || (guard && !IsWindow(guard)))) return false;
            // A driver that sets an event when the write ends wakes the wait then. Otherwise the
            // wait spins for the character ahead, which the line takes within a millisecond; a
            // board that holds the line longer is busy or gone, and the wait sleeps.
            HANDLE writeEnd = writing ? PortOps.writeEndEvent(port) : nullptr;
            if (!PaceWait(waitStart, writeEnd ? kWaitForWrite : kWaitForLine, writeEnd)) {  // the program is ending
                if (writing) PortOps.cancelWrite(port);
                return false;
            }
        }
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
        Post(NoteReceived(Updates, chunk));
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
    halfSent = false;
    // The command that waited goes next, unless the user has stopped or left meanwhile.
    while (Waiting) {
        const WaitingCommand next = *Waiting;
        Waiting.reset();
        if (!MainDialogExists() || next.stopCount != App.StopCount) break;
        TransmitCommand(next.text, next.guard);
        halfSent = false;
    }
    sendBusy = false;
    return sent ? SendResult::Sent : SendResult::Abandoned;
}

bool TransmissionBusy() { return sendBusy; }
bool CommandHalfSent() { return halfSent; }
uint32_t PortClosings() { return portClosings; }
bool CommandWaiting() { return Waiting.has_value(); }
void DropWaitingCommand() { Waiting.reset(); }

void ParseReply(std::string& buffer) {
    Post(NoteRxCount(Updates));
    const ReplyActions a = ParseReplyText(buffer);
    if (a.hasPosition) Post(NotePosition(Updates, PositionTexts{a.posX, a.posY, a.posZ, a.pen}));
    if (a.hasRegister && App.RegisterImage) App.RegisterImage[a.registerNumber].store(a.registerValue);
    buffer.clear();
}

void ApplyLinkUpdate(WPARAM, LPARAM) {
    const LinkUpdate u = TakeLinkUpdate(Updates);
    HWND main = Ui.MainDialog;
    if (u.position) {
        SetDlgItemTextA(main, ids::TxtPosX, u.latest.x.c_str());
        SetDlgItemTextA(main, ids::TxtPosY, u.latest.y.c_str());
        SetDlgItemTextA(main, ids::TxtPosZ, u.latest.z.c_str());
        SetDlgItemTextA(main, ids::TxtPen, u.latest.p.c_str());
    }
    if (!u.received.empty()) MonitorShowRx(u.received);
    if (u.rxCount) MonitorShowRxCount(rxByteCount.load());
}

void StartReceiveLoop(HANDLE port) {
    if (ReceiveThread) {
        WaitForSingleObject(ReceiveThread, INFINITE);
        CloseHandle(ReceiveThread);
    }
    ReceiveOwner = Ui.MainDialog;
    // A message posted to an earlier dialog may never have arrived.
    TakeLinkUpdate(Updates);
    ReceiveThread = CreateThread(nullptr, 0, ReceiveLoop, port, 0, nullptr);
}

void ClosePortAndStopReceiving() {
    HANDLE port = comPort.exchange(INVALID_HANDLE_VALUE);
    ++portClosings;
    if (ReceiveThread) {
        // The loop sees comPort change within one 25 ms pass and never blocks: waiting for it
        // to end before the port is closed means it never reads from a closed handle.
        WaitForSingleObject(ReceiveThread, INFINITE);
        CloseHandle(ReceiveThread);
        ReceiveThread = nullptr;
    }
    if (port != INVALID_HANDLE_VALUE) PortOps.close(port);
}
