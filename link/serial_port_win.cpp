#include "link/serial_port_win.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "link/port_search.h"

std::atomic<HANDLE> comPort{INVALID_HANDLE_VALUE};

namespace {

// The overlapped write of an open port. Only the user-interface thread writes, opens and
// closes; the receive thread's reads use an event of their own.
struct PendingWrite {
    OVERLAPPED overlapped = {};
    std::string bytes;  // the buffer the driver writes from: kept until the write has ended
    bool pending = false;
};
std::mutex WritesLock;  // guards Writes itself: the receive thread never touches an entry
std::map<HANDLE, std::unique_ptr<PendingWrite>> Writes;

PendingWrite* WriteOf(HANDLE port) {
    std::lock_guard<std::mutex> hold(WritesLock);
    const auto it = Writes.find(port);
    return it == Writes.end() ? nullptr : it->second.get();
}

// Waits at most ms for the overlapped operation to end; false while it goes on.
bool OverlappedResult(HANDLE port, OVERLAPPED& o, DWORD ms, DWORD& done, bool& failed) {
    failed = false;
    if (ms && WaitForSingleObject(o.hEvent, ms) == WAIT_TIMEOUT) return false;
    if (GetOverlappedResult(port, &o, &done, FALSE)) return true;
    if (GetLastError() == ERROR_IO_INCOMPLETE) return false;
    failed = GetLastError() != ERROR_OPERATION_ABORTED;
    return true;
}

}  // namespace

HANDLE OpenSerialPort(int n) {
    const std::string name = PortDeviceName(n);
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return h;
    // Reads only ever ask for bytes already waiting, so the read time-out delays nothing.
    COMMTIMEOUTS t = {};
    t.ReadIntervalTimeout = 0;
    t.ReadTotalTimeoutMultiplier = 2500;
    t.ReadTotalTimeoutConstant = 0;
    t.WriteTotalTimeoutMultiplier = 2500;
    t.WriteTotalTimeoutConstant = 0;
    SetCommTimeouts(h, &t);
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    // A device that opens but has no line settings is no serial port (Wine opens a port
    // that is mapped to nothing this way): probing it would only cost the search 2.25 s.
    if (!GetCommState(h, &dcb)) {
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    dcb.BaudRate = 19200;
    dcb.ByteSize = 8;
    dcb.fOutxCtsFlow = FALSE;
    // Left on by another program, one framing error would fail every later read and write
    // until ClearCommError: the board would seem gone in the middle of a run.
    dcb.fAbortOnError = FALSE;
    SetCommState(h, &dcb);
    auto write = std::make_unique<PendingWrite>();
    write->overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!write->overlapped.hEvent) {
        CloseHandle(h);
        return INVALID_HANDLE_VALUE;
    }
    std::lock_guard<std::mutex> hold(WritesLock);
    Writes[h] = std::move(write);
    return h;
}

void CloseSerialPort(HANDLE port) {
    CancelWrite(port);
    std::unique_ptr<PendingWrite> write;
    {
        std::lock_guard<std::mutex> hold(WritesLock);
        const auto it = Writes.find(port);
        if (it != Writes.end()) {
            write = std::move(it->second);
            Writes.erase(it);
        }
    }
    CloseHandle(port);
    if (write) CloseHandle(write->overlapped.hEvent);
}

std::vector<int> ListedSerialPorts() {
    std::vector<int> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD i = 0;; ++i) {
        // Value names are the drivers' device paths; the data is the port's name.
        char name[1024], data[64];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        const LONG rc =
            RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS || type != REG_SZ) continue;  // too long for a port name, or no text
        if (const int n = PortNumberFromName(std::string(data, strnlen(data, dataSize)))) ports.push_back(n);
    }
    RegCloseKey(key);
    return ports;
}

void SetCtsFlowControl(HANDLE port, bool on) {
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) return;
    dcb.fOutxCtsFlow = on ? TRUE : FALSE;
    SetCommState(port, &dcb);
}

int CtsState(HANDLE port) {
    DWORD status = 0;
    if (!GetCommModemStatus(port, &status)) return -1;
    return (status & MS_CTS_ON) ? 1 : 0;
}

DWORD BytesWaiting(HANDLE port) {
    DWORD errors = 0;
    COMSTAT st = {};
    if (!ClearCommError(port, &errors, &st)) return 0;
    return st.cbInQue;
}

DWORD BytesToTransmit(HANDLE port) {
    DWORD errors = 0;
    COMSTAT st = {};
    if (!ClearCommError(port, &errors, &st)) return 0;
    return st.cbOutQue;
}

std::string ReadWaiting(HANDLE port) {
    const DWORD n = BytesWaiting(port);
    if (n == 0) return "";
    std::vector<char> buf(n);
    // The bytes are there: the read ends at once. An event of this call's own, so that the
    // read never waits for the write the other thread may have pending.
    OVERLAPPED o = {};
    o.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!o.hEvent) return "";
    DWORD got = 0;
    bool failed = false;
    if (ReadFile(port, buf.data(), n, nullptr, &o)) {
        OverlappedResult(port, o, 0, got, failed);
    } else if (GetLastError() != ERROR_IO_PENDING) {
        failed = true;
    } else if (!OverlappedResult(port, o, 1000, got, failed)) {
        CancelIoEx(port, &o);
        OverlappedResult(port, o, INFINITE, got, failed);
    }
    CloseHandle(o.hEvent);
    return failed ? "" : std::string(buf.data(), got);
}

WriteStatus StartWrite(HANDLE port, const std::string& bytes) {
    PendingWrite* w = WriteOf(port);
    if (!w || w->pending) return {WriteState::Failed, 0};
    w->bytes = bytes;
    ResetEvent(w->overlapped.hEvent);
    if (WriteFile(port, w->bytes.data(), static_cast<DWORD>(w->bytes.size()), nullptr, &w->overlapped)) {
        // Done at once; the count is the overlapped result's.
        DWORD written = 0;
        bool failed = false;
        OverlappedResult(port, w->overlapped, 0, written, failed);
        return {failed ? WriteState::Failed : WriteState::Ended, written};
    }
    if (GetLastError() != ERROR_IO_PENDING) return {WriteState::Failed, 0};
    w->pending = true;
    return {WriteState::Pending, 0};
}

WriteStatus WriteProgress(HANDLE port) {
    PendingWrite* w = WriteOf(port);
    if (!w) return {WriteState::Failed, 0};
    if (!w->pending) return {WriteState::Ended, 0};
    DWORD written = 0;
    bool failed = false;
    if (!OverlappedResult(port, w->overlapped, 0, written, failed)) return {WriteState::Pending, 0};
    w->pending = false;
    return {failed ? WriteState::Failed : WriteState::Ended, written};
}

void CancelWrite(HANDLE port) {
    PendingWrite* w = WriteOf(port);
    if (!w || !w->pending) return;
    CancelIoEx(port, &w->overlapped);
    // The buffer and the event must outlive the write: wait until the driver has let go.
    DWORD written = 0;
    bool failed = false;
    OverlappedResult(port, w->overlapped, INFINITE, written, failed);
    w->pending = false;
}

HANDLE WriteEndEvent(HANDLE port) {
    PendingWrite* w = WriteOf(port);
    return w ? w->overlapped.hEvent : nullptr;
}

PortDriver PortOps = {
    OpenSerialPort,
    CloseSerialPort,
    ListedSerialPorts,
    SetCtsFlowControl,
    [](HANDLE port, DWORD receive, DWORD transmit) { SetupComm(port, receive, transmit); },
    CtsState,
    BytesToTransmit,
    StartWrite,
    WriteProgress,
    CancelWrite,
    WriteEndEvent,
    ReadWaiting,
    PortDeviceName,
    PortName,
};

bool WriteAndWait(HANDLE port, const std::string& bytes, uint32_t timeoutMs) {
    WriteStatus s = PortOps.startWrite(port, bytes);
    for (const DWORD start = GetTickCount(); s.state == WriteState::Pending; Sleep(1)) {
        if (GetTickCount() - start >= timeoutMs) {
            PortOps.cancelWrite(port);
            return false;
        }
        s = PortOps.writeProgress(port);
    }
    return s.state == WriteState::Ended && s.written == bytes.size();
}
