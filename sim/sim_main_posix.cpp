// kt4180-sim: a simulated KT4180 board on a pseudo-terminal (or a serial device).
// Prints the port's path on stdout and serves it until SIGINT or SIGTERM; SIGUSR1 writes the
// drawing now.

#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "sim/sim_board.h"
#include "sim/sim_drawing.h"
#include "sim/sim_options.h"
#include "sim/sim_port_posix.h"

namespace {

// On a serial device the port is read no further ahead than this many bytes still on the
// simulated line: the device's own line paces the PC, and CTS holds it.
constexpr size_t kReadAhead = 64;
// On a pseudo-terminal the PC's writes are held while this many bytes wait for the simulated
// line and let go below the lower mark, so the PC stays a few dozen characters ahead of the
// board, as it would behind a real transmitter, and its writes never wait long. What it
// writes beyond kMaxLead while we could not run (a busy machine) is taken at once.
constexpr size_t kHoldAt = 64;
constexpr size_t kLetGoBelow = 32;
constexpr size_t kMaxLead = 512;
constexpr int kIdlePollMs = 100;
constexpr int kBusyPollMinMs = 2;
constexpr int kBusyPollMaxMs = 20;
// While nobody has the other end open, a pseudo-terminal's master reports hang-up at once;
// look again after this long instead of spinning.
constexpr int kHangupSleepMs = 20;
constexpr size_t kMaxUnsent = 1 << 20;

volatile sig_atomic_t stopRequested = 0;
volatile sig_atomic_t drawingRequested = 0;

void OnStopSignal(int) { stopRequested = 1; }
void OnDrawingSignal(int) { drawingRequested = 1; }

int64_t NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000 + ts.tv_nsec / 1000000;
}

void SleepMs(int ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&ts, nullptr);
}

bool OpenLog(const std::string& path, std::FILE*& file) {
    file = nullptr;
    if (path.empty()) return true;
    file = std::fopen(path.c_str(), "wb");
    if (!file) std::fprintf(stderr, "kt4180-sim: %s: %s\n", path.c_str(), std::strerror(errno));
    return file != nullptr;
}

void WriteLog(std::FILE* file, const char* data, size_t n) {
    if (!file || n == 0) return;
    std::fwrite(data, 1, n, file);
    std::fflush(file);
}

void WriteDrawing(const std::string& path, const SimBoard& board) {
    if (path.empty()) return;
    if (!SimWriteDrawing(path, board.drawing)) std::fprintf(stderr, "kt4180-sim: cannot write %s\n", path.c_str());
}

int PollTimeout(const SimBoard& board, int64_t now) {
    const int64_t next = SimNextEventMs(board);
    if (next == INT64_MAX) return kIdlePollMs;
    const int64_t wait = next - now;
    if (wait < kBusyPollMinMs) return kBusyPollMinMs;
    return wait > kBusyPollMaxMs ? kBusyPollMaxMs : static_cast<int>(wait);
}

}  // namespace

int main(int argc, char** argv) {
    SimOptions options;
    std::string error;
    if (!SimParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "kt4180-sim: %s\n%s", error.c_str(), SimUsage());
        return 2;
    }
    if (options.help) {
        std::fputs(SimUsage(), stdout);
        return 0;
    }

    std::FILE* log = nullptr;
    std::FILE* rawLog = nullptr;
    if (!OpenLog(options.logPath, log) || !OpenLog(options.rawLogPath, rawLog)) return 1;

    SimPort port;
    const bool opened =
        options.device.empty() ? OpenPseudoTerminal(port, error) : OpenSerialDevice(port, options.device, error);
    if (!opened) {
        std::fprintf(stderr, "kt4180-sim: %s\n", error.c_str());
        return 1;
    }

    struct sigaction stop {};
    stop.sa_handler = OnStopSignal;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGINT, &stop, nullptr);
    sigaction(SIGTERM, &stop, nullptr);
    struct sigaction draw {};
    draw.sa_handler = OnDrawingSignal;
    sigemptyset(&draw.sa_mask);
    sigaction(SIGUSR1, &draw, nullptr);
    signal(SIGPIPE, SIG_IGN);

    if (!options.link.empty() && !MakeLink(options.link, port.path, error)) {
        std::fprintf(stderr, "kt4180-sim: %s\n", error.c_str());
        ClosePort(port);
        return 1;
    }
    std::printf("%s\n", port.path.c_str());
    std::fflush(stdout);

    SimBoard board;
    SimInit(board, options.pacing, options.statePath, NowMs());
    board.ctsLine = port.isDevice;
    board.keepDrawing = !options.drawingPath.empty();
    // A pseudo-terminal's writer is kept in step with the simulated line by holding it.
    bool holdWriter = board.pacing && !port.isDevice;
    bool holding = false;
    std::string unsent;
    uint32_t stateErrorsShown = 0;
    bool clearToSend = true;
    char buf[4096];

    while (!stopRequested) {
        const size_t backlog = SimLineBacklog(board);
        // A held pseudo-terminal is read on every pass anyway; wake at once only for the
        // first byte after a quiet spell.
        const bool wantRead = !board.pacing || (holdWriter ? backlog == 0 : backlog < kReadAhead);
        pollfd pfd{port.fd, static_cast<short>((wantRead ? POLLIN : 0) | (unsent.empty() ? 0 : POLLOUT)), 0};
        const int ready = poll(&pfd, 1, PollTimeout(board, NowMs()));
        if (ready < 0 && errno != EINTR) {
            std::fprintf(stderr, "kt4180-sim: poll: %s\n", std::strerror(errno));
            break;
        }
        const int64_t now = NowMs();
        const bool readable = ready > 0 && (pfd.revents & POLLIN);
        // Hang-up: the PC has closed the port. Keep the master and wait for the next open.
        bool hungUp = ready > 0 && (pfd.revents & (POLLHUP | POLLERR)) && !readable;

        if (readable || (holdWriter && !hungUp)) {
            const size_t want = board.pacing && !holdWriter ? kReadAhead - backlog : sizeof buf;
            const ssize_t n = read(port.fd, buf, want);
            if (n > 0) {
                WriteLog(rawLog, buf, static_cast<size_t>(n));
                SimReceive(board, buf, static_cast<size_t>(n), now);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                hungUp = true;
            }
        }
        SimAdvance(board, now);

        if (holdWriter) {
            SimCatchUpLine(board, kMaxLead);
            const size_t waiting = SimLineBacklog(board);
            const bool hold = holding ? waiting >= kLetGoBelow : waiting >= kHoldAt;
            if (hold != holding) {
                if (HoldSender(port, hold)) {
                    holding = hold;
                } else if (hold) {
                    std::fprintf(stderr, "kt4180-sim: cannot hold the writer of %s: it may run ahead of the line\n",
                                 port.path.c_str());
                    holdWriter = false;
                }
            }
        }

        const std::string out = SimTakeOutput(board);
        if (hungUp) {
            unsent.clear();  // nobody to read it; stale replies would confuse the next opener
        } else if (unsent.size() + out.size() <= kMaxUnsent) {
            unsent += out;
        }
        if (!unsent.empty() && !hungUp) {
            const ssize_t n = write(port.fd, unsent.data(), unsent.size());
            if (n > 0) {
                unsent.erase(0, static_cast<size_t>(n));
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                unsent.clear();
            }
        }

        const std::string lines = SimTakeLog(board);
        WriteLog(log, lines.data(), lines.size());
        if (board.stateFileErrors != stateErrorsShown) {
            stateErrorsShown = board.stateFileErrors;
            std::fprintf(stderr, "kt4180-sim: cannot write %s\n", board.statePath.c_str());
        }
        if (drawingRequested) {
            drawingRequested = 0;
            WriteDrawing(options.drawingPath, board);
        }
        if (SimReadyForInput(board) != clearToSend) {
            clearToSend = !clearToSend;
            SetClearToSend(port, clearToSend);
        }
        if (hungUp) SleepMs(kHangupSleepMs);
    }

    if (holding) HoldSender(port, false);
    WriteDrawing(options.drawingPath, board);
    if (!options.link.empty()) RemoveLink(options.link, port.path);
    ClosePort(port);
    if (log) std::fclose(log);
    if (rawLog) std::fclose(rawLog);
    return 0;
}
