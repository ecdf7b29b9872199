#include "sim/sim_port_win.h"

#include <cstdio>
#include <vector>

#include "link/port_search.h"

SimBoard SimPortBoard;
std::mutex SimPortLock;

namespace {

// Any value but INVALID_HANDLE_VALUE: it never reaches the operating system, only this driver.
const HANDLE kPortHandle = reinterpret_cast<HANDLE>(ULONG_PTR{0x4180});

// Guarded by SimPortLock.
bool PortOpen = false;
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

// With SimPortLock held: the board's time runs up to now, and what it finished goes to the log.
void Advance() {
    SimAdvance(SimPortBoard, SimPortClock());
    if (Log) Append(Log, SimTakeLog(SimPortBoard));
}

HANDLE Open(int n) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (n != kSimPortNumber || PortOpen) return INVALID_HANDLE_VALUE;  // unshared, as a COM port is
    PortOpen = true;
    // The board ran on while the port was closed; what it said meanwhile reached nobody.
    Advance();
    SimTakeOutput(SimPortBoard);
    return kPortHandle;
}

void Close(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    PortOpen = false;
}

// Pacing is the board's own CTS, which the sender looks at before every character.
int Cts(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    Advance();
    return SimReadyForInput(SimPortBoard) ? 1 : 0;
}

// What is still on its way over the simulated line.
DWORD BytesOnTheLine(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    return static_cast<DWORD>(SimLineBacklog(SimPortBoard));
}

bool Write(HANDLE, const std::string& bytes) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (!PortOpen) return false;
    Append(RawLog, bytes);
    SimReceive(SimPortBoard, bytes.data(), bytes.size(), SimPortClock());
    return true;
}

std::string Read(HANDLE) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    if (!PortOpen) return "";
    Advance();
    return SimTakeOutput(SimPortBoard);
}

}  // namespace

int64_t SimPortClock() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    // Split so that the product cannot overflow however long the machine has been up.
    return c.QuadPart / f.QuadPart * 1000 + c.QuadPart % f.QuadPart * 1000 / f.QuadPart;
}

PortDriver StartSimPort(const SimPortFiles& files) {
    std::lock_guard<std::mutex> hold(SimPortLock);
    SimInit(SimPortBoard, true, files.state, SimPortClock());
    PortOpen = false;
    CloseLog(RawLog);
    CloseLog(Log);
    RawLog = OpenLog(files.rawLog);
    Log = OpenLog(files.log);
    return {
        Open,
        Close,
        [] { return std::vector<int>{}; },  // no list of real ports is read
        [](HANDLE, bool) {},                // the line has no settings to change
        [](HANDLE, DWORD, DWORD) {},
        Cts,
        BytesOnTheLine,
        Write,
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
