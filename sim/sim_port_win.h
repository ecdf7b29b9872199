#pragma once
// The simulated board behind the program's port, in this process: the demo program's only port
// and the Windows-side tests' board, at the end of a line that behaves as a real one does
// (sim_line.h: a UART under Windows' serial driver, or a USB adapter). The user-interface
// thread writes and looks at CTS while the receive thread reads: every call into the board and
// its line holds SimPortLock.
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "link/serial_port_win.h"
#include "sim/sim_board.h"
#include "sim/sim_line.h"

// The one port that opens; the indicator and the search call it by name.
constexpr int kSimPortNumber = 1;
constexpr const char* kSimPortName = "DEMO";

struct SimPortFiles {
    std::string rawLog;  // every byte the board receives
    std::string log;     // every command it executed, with the position after it
    std::string state;   // where "PX 9876,5432" stores the registers; they are read from it at power-up
};

extern SimBoard SimPortBoard;  // guarded by SimPortLock
extern SimLine SimPortLine;    // guarded by SimPortLock
extern std::mutex SimPortLock;

// Powers the board up (pacing on, CTS line, registers from files.state or the factory's),
// starts the logs afresh and returns the driver that serves it as port kSimPortNumber, over a
// line of the given kind. Without a log file the executed commands stay in the board for
// SimTakeLog.
PortDriver StartSimPort(const SimPortFiles& files = {}, const SimLineOptions& line = {});
// Closes the log files.
void StopSimPort();

// The board's clock in milliseconds, and the line's in microseconds: finer than the tick count,
// which steps too coarsely for a line at 1920 characters a second.
int64_t SimPortClock();
int64_t SimPortClockUs();
