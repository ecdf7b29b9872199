#include "link/serial_port_win.h"

#include <cstring>
#include <vector>

#include "link/port_search.h"

std::atomic<HANDLE> comPort{INVALID_HANDLE_VALUE};

HANDLE OpenSerialPort(int n) {
    const std::string name = PortDeviceName(n);
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
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
    SetCommState(h, &dcb);
    return h;
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
    DWORD got = 0;
    if (!ReadFile(port, buf.data(), n, &got, nullptr)) return "";
    return std::string(buf.data(), got);
}

bool WriteBytes(HANDLE port, const std::string& bytes) {
    DWORD written = 0;
    // A write that times out succeeds with fewer bytes: the device is still there.
    return WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
}

PortDriver PortOps = {
    OpenSerialPort,
    [](HANDLE port) { CloseHandle(port); },
    ListedSerialPorts,
    SetCtsFlowControl,
    [](HANDLE port, DWORD receive, DWORD transmit) { SetupComm(port, receive, transmit); },
    CtsState,
    BytesToTransmit,
    WriteBytes,
    ReadWaiting,
    PortDeviceName,
    PortName,
};
