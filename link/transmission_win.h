#pragma once
// Commands out, replies in. SendCommand runs on the user-interface thread; the receive loop
// runs on a thread of its own, started for each opened port.
#include <windows.h>

#include <cstdint>
#include <string>

enum class SendResult {
    Sent,       // every character was handed to the port (or there is no port to hand it to)
    Queued,     // another command is going out: this one goes right after it
    Refused,    // another command already waits behind the one going out: this one is dropped
    Abandoned,  // the wait for the board was ended (see SendCommand); the rest is not sent
};

// Transmits text unchanged, one character at a time while CTS is on and the transmit queue
// is empty; shows it in the line monitor and the transmit protocol first. Never waits for a
// reply. A call reached through message pumping while another is transmitting waits behind
// it, so that commands never interleave; at most one does, further ones are refused.
// The wait for the board ends when the main dialog or the port goes away, and, before the
// command's first character, when guard (a progress window) is closed or Stop is held during
// a run: a command once started is finished, so that no half command is left on the line to
// merge with the next. Stop and the end of the main dialog also drop the command that waits.
SendResult SendCommand(const std::string& text, HWND guard = nullptr);

// True while a transmission is in progress (a new command would have to wait behind it).
bool TransmissionBusy();
// True while the command going out has begun on the wire: closing the port now would cut it.
bool CommandHalfSent();
// How often comPort has been closed: an operation of several commands that sees it change has
// lost the port it began on.
uint32_t PortClosings();
// True while a command waits behind the one going out.
bool CommandWaiting();
// Drops the command that waits, if any.
void DropWaitingCommand();

// Starts the receive loop for port, which must be comPort.
void StartReceiveLoop(HANDLE port);
// Ends the receive loop and closes comPort; comPort is none afterwards. Waits for the loop,
// which never waits on this thread, so that the port is closed only once the loop has ended.
void ClosePortAndStopReceiving();

// The receive thread's reports to the windows, posted to the main dialog.
constexpr UINT kLinkUpdateMessage = WM_APP + 0x41;
void ApplyLinkUpdate(WPARAM kind, LPARAM payload);

// Acts on one complete reply (position boxes, RegisterImage) and empties it. Called by the
// receive loop.
void ParseReply(std::string& replyBuffer);
