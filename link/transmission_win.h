#pragma once
// Commands out, replies in. SendCommand runs on the user-interface thread; the receive loop
// runs on a thread of its own, started for each opened port.
#include <windows.h>

#include <cstdint>
#include <string>


// Transmits text unchanged, one character at a time while CTS is on and the transmit queue
// is empty; shows it in the line monitor and the transmit protocol first. Never waits for a
// reply. A call reached through message pumping while another is transmitting is queued and
// sent right after it, so that commands never interleave.
void SendCommand(const std::string& text);

// Starts the receive loop for port, which must be comPort.
void StartReceiveLoop(HANDLE port);
// Ends the receive loop and closes comPort; comPort is none afterwards. Waits for the loop,
// which never waits on this thread.
void ClosePortAndStopReceiving();

// The receive thread's reports to the windows, posted to the main dialog.
constexpr UINT kLinkUpdateMessage = WM_APP + 0x41;
void ApplyLinkUpdate(WPARAM kind, LPARAM payload);

// Acts on one complete reply (position boxes, RegisterImage) and empties it. Called by the
// receive loop; tests call it directly.
void ParseReply(std::string& replyBuffer);
