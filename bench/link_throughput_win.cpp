// Streams plot lines to a board through SendCommand and reports the characters per second the
// board received and executed against the 1920 a 19200-baud line carries (the clock stops when
// the board answers a register read sent after the last line, so nothing buffered on the way
// counts), and the program's processor use meanwhile.
//   link_throughput_win [bytes] [line]      (default 100000, com3)
// line: com3   the board simulator on COM3 through Windows' serial driver (Wine's, on a
//              pseudo-terminal: writes are never held); tools/bench starts it
//       uart   the board in this process behind a UART as Windows' serial driver runs it
//       usb1, usb16   the board behind a USB adapter that reports CTS 1 or 16 ms late
// The moves are a unit long: the board executes them faster than the line brings them.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_dialog_win.h"
#include "base/process_state.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"
#include "sim/sim_port_win.h"

namespace {
double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}
double CpuSeconds() {  // kernel and user time, in 100 ns units
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto units = [](FILETIME f) {
        return static_cast<double>(ULONGLONG{f.dwHighDateTime} << 32 | f.dwLowDateTime);
    };
    return (units(kernel) + units(user)) / 1e7;
}

// Opens the line named; false when there is no such line or it does not open.
bool OpenLine(const std::string& line) {
    if (line == "com3") return (comPort = OpenSerialPort(3)) != INVALID_HANDLE_VALUE;
    SimLineOptions options;
    if (line == "usb1" || line == "usb16") {
        options.kind = SimLineKind::Usb;
        options.statusDelayUs = line == "usb1" ? 1000 : 16000;
    } else if (line != "uart") {
        return false;
    }
    PortOps = StartSimPort({}, options);
    if ((comPort = PortOps.open(kSimPortNumber)) == INVALID_HANDLE_VALUE) return false;
    PortOps.setCtsFlowControl(comPort, true);  // as the search leaves a port with CTS on
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    const size_t wanted = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const std::string line = argc > 2 ? argv[2] : "com3";
    CreateMainDialog();
    if (!OpenLine(line)) return std::fprintf(stderr, "the line %s does not open\n", line.c_str()), 1;
    StartReceiveLoop(comPort);
    std::string lines;  // polylines as a plot file holds them, one command per line
    for (int i = 0; lines.size() < wanted; ++i)
        lines += "PD" + std::to_string(1000 + i % 2) + "," + std::to_string(2000 + (i / 2) % 2) + ";\r\n";
    const size_t total = lines.size();  // whole lines: a cut one would be a long move

    // The machine goes to the start first: that move takes seconds, and is no part of the figure.
    App.RegisterImage[2].store(-1);
    SendCommand("PA1000,2000;PX0,2\r\n");
    for (const DWORD start = GetTickCount(); App.RegisterImage[2].load() == -1 && GetTickCount() - start < 10000;)
        Sleep(1);
    const double cpu0 = CpuSeconds(), t0 = Now();
    for (size_t sent = 0, next; sent < lines.size(); sent = next) {
        next = std::min(lines.find('\n', sent), lines.size() - 1) + 1;
        SendCommand(lines.substr(sent, next - sent));
    }
    const double written = Now() - t0;
    // The board answers in order: its reply comes once every line before it has been executed.
    App.RegisterImage[2].store(-1);
    SendCommand("PX0,2\r\n");
    for (const DWORD start = GetTickCount(); App.RegisterImage[2].load() == -1 && GetTickCount() - start < 120000;)
        Sleep(1);
    const double board = Now() - t0, cpu = CpuSeconds() - cpu0;
    if (App.RegisterImage[2].load() == -1)
        return std::printf("the board did not answer within 2 minutes of the last line\n"), 1;
    std::printf(
        "%-6s board received and executed %zu characters in %.2f s: %.0f characters/s, %.1f%% of the 1920 a "
        "19200-baud line carries\n",
        line.c_str(), total, board, total / board, total / board / 19.2);
    std::printf(
        "       the program's writes took %.2f s (%.0f characters/s); processor time %.2f s: %.0f%% of one core\n",
        written, total / written, cpu, 100.0 * cpu / board);
    ClosePortAndStopReceiving();
    return 0;
}
