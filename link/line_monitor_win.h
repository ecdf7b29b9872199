#pragma once
// The line monitor window: the last lines sent, the last characters received, a byte count for
// each direction and the check box of the traffic protocol files. Everything here runs on the
// user-interface thread; the receive side reaches it through posted messages.
#include <windows.h>

#include <cstdint>
#include <string>

// Characters given to the monitor's send box since the program started (only while the
// monitor was open); never reset, wraps at 2^32. User-interface thread only.
extern uint32_t txByteCount;

// Opens the monitor owned by parent, or returns the one that is open (neither moved nor
// brought forward). Also stores the handle in Ui.LineMonitor.
HWND OpenLineMonitor(HWND parent);
// True while Ui.LineMonitor names a window.
bool LineMonitorExists();
// Writes window's screen position to "pos"/"lmw" of the configuration file; for the close
// command, before the window goes.
void SaveLineMonitorPosition(HWND window);

// Feeders; each does nothing while the monitor is closed.
// A command text: into the send box (last 12 CRs kept), counted into txByteCount and shown.
void MonitorShowTx(const std::string& text);
// A received chunk: into the receive box (last 500 characters kept).
void MonitorShowRx(const std::string& chunk);
// The receive count, as a plain decimal number.
void MonitorShowRxCount(uint32_t rxByteCount);
