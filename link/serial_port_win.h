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

// Opens "\\.\COMn" for reading and writing, unshared; INVALID_HANDLE_VALUE on failure, also
// for a device without line settings. Applies
// the time-outs, 19200 baud, 8 data bits and no CTS flow control; every other line setting
// stays as the port had it.
HANDLE OpenSerialPort(int n);
// The numbers of the ports Windows lists as present (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), in
// the order listed.
std::vector<int> ListedSerialPorts();
// Switches CTS output flow control on or off.
void SetCtsFlowControl(HANDLE port, bool on);
// 1 when CTS is asserted, 0 when it is not, -1 when the port cannot report its modem lines
// (a pseudo-terminal under Wine answers "not supported").
int CtsState(HANDLE port);
// Bytes waiting in the receive queue and in the transmit queue.
DWORD BytesWaiting(HANDLE port);
DWORD BytesToTransmit(HANDLE port);
// Reads what is waiting, never more.
std::string ReadWaiting(HANDLE port);
// False when the device refuses the write (it has gone away); a write that timed out is true.
bool WriteBytes(HANDLE port, const std::string& bytes);

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
    bool (*writeBytes)(HANDLE, const std::string&);
    std::string (*readWaiting)(HANDLE);
    std::string (*deviceName)(int n);  // what the search says it checks: "\\.\COM3"
    std::string (*portName)(int n);    // what the port indicator shows: "COM3"
};
extern PortDriver PortOps;
