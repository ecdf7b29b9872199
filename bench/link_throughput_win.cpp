// Streams plot lines to the board on COM3 through SendCommand and reports the characters per
// second the board received and executed against the 1920 a 19200-baud line carries (the
// clock stops when the board answers a register read sent after the last line, so nothing
// buffered on the way counts), and the program's processor use meanwhile. tools/bench starts
// the simulator (pacing on) and runs this under Wine.
//   link_throughput_win [bytes]      (default 100000)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/main_dialog_win.h"
#include "base/process_state.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"

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
}  // namespace

int main(int argc, char** argv) {
    const size_t total = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    CreateMainDialog();
    if ((comPort = OpenSerialPort(3)) == INVALID_HANDLE_VALUE) return std::fprintf(stderr, "COM3 does not open\n"), 1;
    StartReceiveLoop(comPort);
    std::string lines;  // polylines as a plot file holds them, one command per line
    for (int i = 0; lines.size() < total; ++i)
        lines += "PD" + std::to_string(1000 + i % 4000) + "," + std::to_string(2000 + (i * 7) % 3000) + ";\r\n";
    lines.resize(total);

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
        "board received and executed %zu characters in %.2f s: %.0f characters/s, %.1f%% of the 1920 a "
        "19200-baud line carries\n",
        total, board, total / board, total / board / 19.2);
    std::printf("the program's writes took %.2f s (%.0f characters/s); processor time %.2f s: %.0f%% of one core\n",
                written, total / written, cpu, 100.0 * cpu / board);
    ClosePortAndStopReceiving();
    return 0;
}
