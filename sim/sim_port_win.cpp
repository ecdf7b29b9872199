#include "sim/sim_port_win.h"

#include <cstdio>
#include <vector>

#include "link/port_search.h"

SimBoard SimPortBoard;
SimLine SimPortLine;
std::mutex SimPortLock;

namespace {

// Any value but INVALID_HANDLE_VALUE: it never reaches the operating system, only this driver.
const HANDLE kPortHandle = reinterpret_cast<HANDLE>(ULONG_PTR{0x4180});

// Guarded by SimPortLock.
bool PortOpen = false;
SimLineOptions LineOptions;
std::string Received;  // handed to the board by the line since the last look
std::FILE* RawLog = nullptr;
std::FILE* Log = nullptr;

std::FILE* OpenLog(const std::string& path) { return path.empty() ? nullptr : std::fopen(path.c_str(), "wb"); }
void CloseLog(std::FILE*& file) {
    if (file) std::fclose(file);
    file = nullptr;
}
// Flushed at once: whoever looks at the logs does so while the program runs.
void Append(std::FILE* file, const std::string& bytes) {
    if (!file || bytes.empty()) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fflush(file);
}

// With SimPortLock held: the line's and the board's time run up to now; what reached the board
// and what it finished go to the logs.
void Advance() {
    if (PortOpen)
        SimLineAdvance(SimPortLine, SimPortBoard, SimPortClockUs());
    else
        SimAdvance(SimPortBoard, SimPortClock());
    Append(RawLog, Received);
    Received.clear();
    if (Log) Append(Log, SimTakeLog(SimPortBoard));
}

HANDLE Open(int n) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (n != kSimPortNumber || PortOpen) return INVALID_HANDLE_VALUE;  // unshared, as a COM port is
    // The board ran on while the port was closed; what it said meanwhile reached nobody.
    Advance();
    SimTakeOutput(SimPortBoard);
    SimLineOpen(SimPortLine, SimPortBoard, LineOptions, SimPortClockUs());
    PortOpen = true;
    return kPortHandle;
}

// A write still held is cancelled: nothing more of it reaches the board.
void Close(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (!PortOpen) return;
    Advance();
    SimLineCancelWrite(SimPortLine, SimPortBoard, SimPortClockUs());
    SimPortLine.adapterBytes.clear();
    PortOpen = false;
}

void SetCtsFlow(HANDLE, bool on) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    SimPortLine.ctsFlow = on;
}

int Cts(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (!PortOpen) return 0;
    const bool cts = SimLineCts(SimPortLine, SimPortBoard, SimPortClockUs());
    Advance();
    return cts ? 1 : 0;
}

DWORD TransmitQueue(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (!PortOpen) return 0;
    return static_cast<DWORD>(SimLineTransmitQueue(SimPortLine, SimPortBoard, SimPortClockUs()));
}

WriteStatus Status(const SimWriteStatus& s) {
    return {s.pending ? WriteState::Pending : WriteState::Ended, static_cast<DWORD>(s.written)};
}

WriteStatus BeginWrite(HANDLE, const std::string& bytes) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (!PortOpen || !SimLineStartWrite(SimPortLine, SimPortBoard, bytes, SimPortClockUs()))
        return {WriteState::Failed, 0};
    const WriteStatus s = Status(SimLineWriteStatus(SimPortLine, SimPortBoard, SimPortClockUs()));
    Advance();
    return s;
}

WriteStatus Progress(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (!PortOpen) return {WriteState::Failed, 0};
    const WriteStatus s = Status(SimLineWriteStatus(SimPortLine, SimPortBoard, SimPortClockUs()));
    Advance();
    return s;
}

void Cancel(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (PortOpen) SimLineCancelWrite(SimPortLine, SimPortBoard, SimPortClockUs());
    Advance();
}

std::string Read(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (!PortOpen) return "";
    Advance();
    return SimTakeOutput(SimPortBoard);
}

}  // namespace

int64_t SimPortClockUs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    // Split so that the product cannot overflow however long the machine has been up.
    return c.QuadPart / f.QuadPart * 1000000 + c.QuadPart % f.QuadPart * 1000000 / f.QuadPart;
}

int64_t SimPortClock() { return SimPortClockUs() / 1000; }

PortDriver StartSimPort(const SimPortFiles& files, const SimLineOptions& line) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    SimInit(SimPortBoard, true, files.state, SimPortClock());
    PortOpen = false;
    LineOptions = line;
    SimPortLine = SimLine{};
    SimPortLine.received = &Received;
    Received.clear();
    CloseLog(RawLog);
    CloseLog(Log);
    RawLog = OpenLog(files.rawLog);
    Log = OpenLog(files.log);
    return {
        Open,
        Close,
        [] { return std::vector<int>{}; },  // no list of real ports is read
        SetCtsFlow,
        [](HANDLE, DWORD, DWORD) {},
        Cts,
        TransmitQueue,
        BeginWrite,
        Progress,
        Cancel,
        [](HANDLE) -> HANDLE { return nullptr; },  // simulated time moves only when asked
        Read,
        [](int n) { return n == kSimPortNumber ? std::string(kSimPortName) : PortDeviceName(n); },
        [](int n) { return n == kSimPortNumber ? std::string(kSimPortName) : PortName(n); },
    };
}

void StopSimPort() {
    std::lock_guard<std::mutex> hold(SimPortLock);
    CloseLog(RawLog);
    CloseLog(Log);
}
