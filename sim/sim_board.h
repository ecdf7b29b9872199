#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sim/sim_machine.h"
#include "sim/sim_parser.h"
#include "sim/sim_registers.h"

// A KT4180 board at the far end of a serial line, driven by whoever owns it: the native
// simulator over a pseudo-terminal, or the demo program and the Windows-side tests as an
// in-process port (sim_port_win.h).
//
//   SimBoard board;
//   SimInit(board, true, "", now);          // pacing on, registers kept in memory
//   SimReceive(board, "px0,0\r\n", 7, now); // bytes as the PC writes them
//   SimAdvance(board, now + 10);            // let simulated time pass
//   std::string reply = SimTakeOutput(board);   // "Register 0=41\r\nXYZP=0/0/0/1\r\n"
//
// Time is the caller's clock in milliseconds; an earlier time than one already seen counts
// as that one. With pacing on, received bytes cross a 19200-baud line (1920 characters/s)
// into the board, commands queue up behind the running one and every move takes as long
// as the motors need; SimReadyForInput is the board's CTS line. The board never refuses a
// byte: a sender that ignores CTS makes its queue grow and the machine fall behind, up to
// kSimMaxQueuedChars, beyond which the line is held (bytes wait in SimLineBacklog).
// Without a CTS line (`ctsLine` false: a pseudo-terminal, where nothing can hold the sender
// for long) the buffer still never holds more than kSimInputBuffer characters: a character
// that would overflow it first makes the machine finish every command in hand at once.
// With pacing off every byte is executed the moment it is received. A board is not shared
// between threads: a caller with a sending and a receiving thread serialises its calls.
//
// Output per command, in this order (register 6 and 7 select; numbers in hex with 7/0):
//   ">" command text CR LF          7/7, when the command starts
//   the command's own reply         "Register n=v", "XYZP=x/y/z/p"
//   "XYZP=" x "/" y "/" z "/" p     6/1, position after the command
//   "I=" milliamperes                6/2, spindle motor current
//   "POT=" value                     6/3, the feed potentiometer (0..1023)
//   "CNT=" n                         6/4, counts these echo blocks from 1
//   "OK"                             6/0
// every line ended by CR LF. With 7/4 every received byte is returned as it arrives; with
// 7/6 commands are echoed but the machine does not move. The register number in a
// register reply stays decimal even in hex mode.
//
// The log (SimTakeLog) has one line per executed command (a long polyline per piece):
//   command text TAB "X=" x " Y=" y " Z=" z " P=" p LF     e.g. "PR20,0\tX=20 Y=0 Z=0 P=1"
// with the command text upper case, without blanks, numbers decimal and rounded.

constexpr size_t kSimInputBuffer = 128;           // the board's buffer: CTS drops while it is full
constexpr size_t kSimMaxQueuedChars = 1 << 20;    // beyond this the line is held
constexpr size_t kSimMaxLineBacklog = 64 * 1024;  // beyond this received bytes are lost (overrun)
constexpr size_t kSimMaxPending = 1 << 20;        // untaken output or log beyond this is dropped
constexpr size_t kSimMaxStrokes = 1 << 20;        // a drawing keeps at most this many strokes
constexpr int kSimBaud = 19200;                   // 10 bits a character: 1920 characters/s

struct SimBoard {
    bool pacing = true;
    bool ctsLine = true;       // false: no handshake line, overflow finishes the moves in hand
    bool keepDrawing = false;  // collect the pen-down strokes in `drawing`
    std::string statePath;     // empty: stored registers live in `stored` only
    SimRegisters registers{};
    SimRegisters stored{};
    SimMachine machine;  // the state after the last finished command
    SimParser parser;
    int64_t nowMs = 0;

    // The line: received bytes from `lineText[linePos]` on are still travelling.
    std::string lineText;
    size_t linePos = 0;
    int64_t lineFreeTicks = 0;  // when the line finished its last character, in 1/6000 ms

    std::deque<SimCommand> queue;  // front is running (started) or next
    size_t queuedChars = 0;
    size_t partialChars = 0;  // received characters of the command being parsed
    int64_t machineFreeMs = 0;

    uint32_t echoCounter = 0;
    std::string output;
    std::string log;
    std::vector<SimStroke> drawing;  // at most kSimMaxStrokes, the rest counted in lostStrokes
    uint64_t lostStrokes = 0;
    uint64_t lostInput = 0;   // bytes dropped because the line backlog was full
    uint64_t lostOutput = 0;  // output or log bytes nobody took
    uint32_t stateFileErrors = 0;
};

// Power-up: reads the registers from `statePath` when it names a readable file, otherwise
// the factory values; the machine stands at the reference with tool 1. A board without a
// CTS line or with a drawing is set up by changing those fields after this.
void SimInit(SimBoard& board, bool pacing, const std::string& statePath, int64_t nowMs);

// Power off and on: the stored registers come back, the machine is at the reference,
// everything queued or travelling is gone; the drawing stays.
void SimPowerCycle(SimBoard& board, int64_t nowMs);

// Bytes from the PC. Advances time to nowMs first.
void SimReceive(SimBoard& board, const char* data, size_t n, int64_t nowMs);

// Lets simulated time run to nowMs: characters arrive, commands start and finish.
void SimAdvance(SimBoard& board, int64_t nowMs);

// Every byte on the line but the last `keep` arrives now: for a sender that got further ahead
// than a line would let it (a pseudo-terminal's writer while the simulator could not run).
void SimCatchUpLine(SimBoard& board, size_t keep);

// Everything the board has sent since the last call.
std::string SimTakeOutput(SimBoard& board);

// The log lines of the commands finished since the last call.
std::string SimTakeLog(SimBoard& board);

// CTS: false while the board's input buffer is full.
bool SimReadyForInput(const SimBoard& board);

// Bytes received but still on their way over the line (the PC's transmit queue, in effect).
size_t SimLineBacklog(const SimBoard& board);

// Nothing travelling, queued or running.
bool SimIdle(const SimBoard& board);

// When the next character arrives or the running command finishes; INT64_MAX when idle.
int64_t SimNextEventMs(const SimBoard& board);
