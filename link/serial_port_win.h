#pragma once
// The program's one serial port, `comPort`. Only the controller search opens and closes it;
// the user-interface thread sends on it, the receive thread reads from it.
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

// INVALID_HANDLE_VALUE when no port is open.
extern std::atomic<HANDLE> comPort;

inline bool PortIsOpen() { return comPort.load() != INVALID_HANDLE_VALUE; }

// Opens "\\.\COMn" for reading and writing, unshared and overlapped, so that a write the driver
// holds (CTS off) keeps neither this thread nor the receive thread's reads waiting;
// INVALID_HANDLE_VALUE on failure, also for a device without line settings. Applies the
// time-outs, 19200 baud, 8 data bits, no CTS flow control and no abort on line errors; every
// other line setting stays as the port had it.
HANDLE OpenSerialPort(int n);
// Cancels what is pending on the port and closes it.
void CloseSerialPort(HANDLE port);
// The numbers of the ports Windows lists as present (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), in
// the order listed.
std::vector<int> ListedSerialPorts();
// Switches CTS output flow control on or off.
void SetCtsFlowControl(HANDLE port, bool on);
// 1 when CTS is asserted, 0 when it is not, -1 when the port cannot report its modem lines
// (a pseudo-terminal under Wine answers "not supported").
int CtsState(HANDLE port);
// Bytes waiting in the receive queue, and bytes of pending writes not yet sent.
DWORD BytesWaiting(HANDLE port);
DWORD BytesToTransmit(HANDLE port);
// Reads what is waiting, never more.
std::string ReadWaiting(HANDLE port);

// How the write started last stands. The driver holds a write while CTS is off (flow control
// on) and ends it after the write time-out as a success with fewer bytes: only `written` tells.
enum class WriteState {
    Pending,  // the driver still holds it
    Ended,    // over: `written` bytes went out
    Failed,   // refused: the device has gone away
};
struct WriteStatus {
    WriteState state = WriteState::Ended;
    DWORD written = 0;
};
// One write at a time per port: starts writing bytes (kept until the write ends).
WriteStatus StartWrite(HANDLE port, const std::string& bytes);
WriteStatus WriteProgress(HANDLE port);
// Ends a pending write at once; what it wrote by then stays written.
void CancelWrite(HANDLE port);
// The event Windows sets when the port's pending write ends.
HANDLE WriteEndEvent(HANDLE port);

// Everything the link does with a port goes through PortOps: for KT4180.exe the functions
// above on the real COM ports; the demo program and the Windows-side tests put the simulated
// board behind it instead.
struct PortDriver {
    HANDLE (*open)(int n);  // INVALID_HANDLE_VALUE when port n does not open
    void (*close)(HANDLE);
    std::vector<int> (*listedPorts)();
    void (*setCtsFlowControl)(HANDLE, bool on);
    void (*setQueueSizes)(HANDLE, DWORD receive, DWORD transmit);
    int (*ctsState)(HANDLE);
    DWORD (*bytesToTransmit)(HANDLE);
    WriteStatus (*startWrite)(HANDLE, const std::string& bytes);
    WriteStatus (*writeProgress)(HANDLE);
    void (*cancelWrite)(HANDLE);
    // Set when the pending write ends, so that the sender sleeps till then; nullptr for a
    // driver that can only be asked (the sender then looks again and again).
    HANDLE (*writeEndEvent)(HANDLE);
    std::string (*readWaiting)(HANDLE);
    std::string (*deviceName)(int n);  // what the search says it checks: "\\.\COM3"
    std::string (*portName)(int n);    // what the port indicator shows: "COM3"
};
extern PortDriver PortOps;

// Writes bytes through PortOps and waits, without serving the windows, at most timeoutMs for
// the write to end; a write still held then is cancelled. For the search's own bytes, which
// no flow control holds. False when not all of them went out.
bool WriteAndWait(HANDLE port, const std::string& bytes, uint32_t timeoutMs);
