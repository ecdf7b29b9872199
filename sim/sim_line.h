#pragma once
// The PC's end of the serial line in front of a simulated board, as Windows documents it for a
// program that keeps one overlapped write at a time: the serial driver and what carries the
// bytes to the board. Two kinds of line:
//
//   Uart  an on-board UART under Windows' serial driver. The driver hands a write to the
//         UART when its holding register is free (the character before has begun to shift
//         out) and, with CTS output flow control on, CTS is on; the write completes then. The PC sees CTS one character time after the board
//         changes it: sampled while the character that fills the board is still on the line,
//         it reads "on". A write held longer than the write time-out (per byte) completes
//         with what went out by then: nothing, for one character. The transmit queue counts
//         the bytes of the pending write that have not gone out.
//   Usb   a USB-serial adapter. A write leaves at the end of the 1 ms USB frame it was started
//         in and completes then; the adapter sends its bytes on while its own CTS input is on
//         (it does the handshake itself, at once). The PC learns of CTS from the adapter's
//         status packets, statusDelayUs late.
//
//   SimLine line;
//   SimLineOpen(line, board, options, nowUs);
//   SimLineStartWrite(line, board, "P", nowUs);     // false while a write is pending
//   SimLineWriteStatus(line, board, laterUs);       // {pending, written}
//
// Times are the caller's clock in microseconds; an earlier time than one already seen counts
// as that one. Every call first lets the line and the board run up to its time. The board's
// own clock is in milliseconds and only ever moved by this line while it is open.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

#include "sim/sim_board.h"

enum class SimLineKind { Uart, Usb };

struct SimLineOptions {
    SimLineKind kind = SimLineKind::Uart;
    int64_t writeTimeoutPerByteUs = 2500000;  // the port's WriteTotalTimeoutMultiplier
    int64_t statusDelayUs = 16000;            // Usb: how late the PC learns of a change of CTS
};

// One character on a 19200-baud line (start bit, 8 data bits, stop bit), rounded up.
constexpr int64_t kSimCharUs = (1000000 * 10 + kSimBaud - 1) / kSimBaud;

struct SimWriteStatus {
    bool pending = false;  // the driver still holds the write
    size_t written = 0;    // once it has ended: the bytes that went out
};

struct SimLine {
    SimLineOptions options;
    bool ctsFlow = false;  // CTS output flow control, as the program set it
    int64_t nowUs = 0;

    // The write in progress, or the last one's end.
    bool writing = false;
    std::string writeText;
    size_t writeSent = 0;  // bytes of writeText handed on
    int64_t writeStartUs = 0;

    int64_t txFreeUs = 0;      // the line finishes the last character handed on then
    std::string adapterBytes;  // Usb: taken by the adapter, not yet on the line
    // The board's CTS: the value before the first change, then each change with its time.
    std::deque<std::pair<int64_t, bool>> ctsChanges;
    std::string* received = nullptr;  // when set, every byte handed to the board is added here
};

// A port opened on the line: no write, flow control off, nothing in the adapter.
void SimLineOpen(SimLine& line, SimBoard& board, const SimLineOptions& options, int64_t nowUs);
// Lets the line and the board run to nowUs.
void SimLineAdvance(SimLine& line, SimBoard& board, int64_t nowUs);
// CTS as GetCommModemStatus reports it.
bool SimLineCts(SimLine& line, SimBoard& board, int64_t nowUs);
// COMSTAT.cbOutQue: bytes of the pending write not yet handed on.
size_t SimLineTransmitQueue(SimLine& line, SimBoard& board, int64_t nowUs);
// Starts writing bytes; false (nothing done) while another write is pending.
bool SimLineStartWrite(SimLine& line, SimBoard& board, const std::string& bytes, int64_t nowUs);
SimWriteStatus SimLineWriteStatus(SimLine& line, SimBoard& board, int64_t nowUs);
// Ends a pending write now with what has gone out of it.
void SimLineCancelWrite(SimLine& line, SimBoard& board, int64_t nowUs);
