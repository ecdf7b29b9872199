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

#include "base/process_state.h"
#include "app/main_dialog_win.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"

namespace {
double Seconds(const FILETIME& f) {
    ULARGE_INTEGER u;
    u.LowPart = f.dwLowDateTime;
    u.HighPart = f.dwHighDateTime;
    return static_cast<double>(u.QuadPart) / 1e7;
}
double CpuSeconds() {
    FILETIME c, e, k, u;
    GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
    return Seconds(k) + Seconds(u);
}
}  // namespace

int main(int argc, char** argv) {
    const long total = argc > 1 ? std::atol(argv[1]) : 100000;
    CreateMainDialog();
    HANDLE port = OpenSerialPort(3);
    if (port == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "COM3 does not open\n");
        return 1;
    }
    comPort = port;
    StartReceiveLoop(port);

    // Polylines as a plot file holds them, one command per line.
    std::string lines;
    for (int i = 0; static_cast<long>(lines.size()) < total; ++i)
        lines += "PD" + std::to_string(1000 + i % 4000) + "," + std::to_string(2000 + (i * 7) % 3000) + ";\r\n";
    lines.resize(static_cast<size_t>(total));

    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    const double cpu0 = CpuSeconds();
    QueryPerformanceCounter(&t0);
    size_t sent = 0;
    while (sent < lines.size()) {
        const size_t end = lines.find('\n', sent);
        const size_t next = end == std::string::npos ? lines.size() : end + 1;
        SendCommand(lines.substr(sent, next - sent));
        sent = next;
    }
    QueryPerformanceCounter(&t1);
    // The board answers in order: its reply comes once every line before it has been executed.
    App.RegisterImage[2].store(-1);
    SendCommand("PX0,2\r\n");
    const DWORD waitStart = GetTickCount();
    while (App.RegisterImage[2].load() == -1 && GetTickCount() - waitStart < 120000) Sleep(1);
    LARGE_INTEGER t2;
    QueryPerformanceCounter(&t2);
    const double cpu = CpuSeconds() - cpu0;
    const double seconds = static_cast<double>(f.QuadPart);
    const double wall = static_cast<double>(t1.QuadPart - t0.QuadPart) / seconds;
    const double board = static_cast<double>(t2.QuadPart - t0.QuadPart) / seconds;
    if (App.RegisterImage[2].load() == -1) {
        std::printf("the board did not answer within 2 minutes of the last line\n");
        return 1;
    }
    std::printf("board received and executed %zu characters in %.2f s: %.0f characters/s, %.1f%% of the 1920 a "
                "19200-baud line carries\n",
                sent, board, static_cast<double>(sent) / board, static_cast<double>(sent) / board / 19.2);
    std::printf("the program's writes took %.2f s (%.0f characters/s); processor time %.2f s: %.0f%% of one core\n",
                wall, static_cast<double>(sent) / wall, cpu, 100.0 * cpu / board);
    ClosePortAndStopReceiving();
    return 0;
}
