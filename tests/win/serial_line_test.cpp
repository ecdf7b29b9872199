// The program on the lines users have: a UART under Windows' serial driver, whose writes the
// driver holds while CTS is off and ends at the write time-out with nothing written, and a USB
// adapter, which sends in 1 ms frames and reports CTS late (sim/sim_line.h, at the port seam).
#include "tests/win/win_test_util.h"

#include <map>
#include <set>

#include "base/keep_awake_win.h"
#include "config/register_transfer_win.h"
#include "config/setup_dialog_win.h"
#include "link/line_monitor_win.h"
#include "plot/plot_run_win.h"
#include "plot/plot_state.h"

namespace {

// Moves of 5 mm, about 0.1 s each for the board: every time its buffer is full, the write
// that follows is held that long.
std::string Moves(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "PR200,0;\r\n";
    return text;
}
// What a run of Moves(n) puts on the wire.
std::string RunWire(int n) { return ";\r\n" + Moves(n); }

SimLineOptions Uart(int64_t writeTimeoutMs = 2500) {
    SimLineOptions o;
    o.writeTimeoutPerByteUs = writeTimeoutMs * 1000;
    return o;
}
SimLineOptions Usb(int64_t statusDelayMs) {
    SimLineOptions o;
    o.kind = SimLineKind::Usb;
    o.statusDelayUs = statusDelayMs * 1000;
    return o;
}

bool BoardDone() {
    std::lock_guard<std::mutex> hold(SimPortLock);
    SimLineAdvance(SimPortLine, SimPortBoard, SimPortClockUs());
    return SimIdle(SimPortBoard) && SimPortLine.adapterBytes.empty();
}

// Asks window from another thread every 10 ms how long it takes to answer, while it lives.
struct AnswerTimes {
    std::atomic<bool> stop{false};
    std::atomic<int64_t> worstUs{0};
    std::atomic<bool> done{false};
    std::thread t;
    explicit AnswerTimes(HWND window) {
        t = std::thread([this, window] {
            for (; !stop; Sleep(10)) {
                const int64_t asked = SimPortClockUs();
                DWORD_PTR result = 0;
                SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                worstUs = std::max<int64_t>(worstUs, SimPortClockUs() - asked);
            }
            done = true;
        });
    }
    // The last question may still wait for the answer: the windows are served till it has one.
    int64_t Finish() {
        stop = true;
        PumpUntil([this] { return done.load(); });
        t.join();
        return worstUs;
    }
};

class SerialLine : public testing::Test {
protected:
    void SetUp() override {
        ShowWindow(dlg, SW_SHOW);
        WriteFile(Plot.PlotFile = TempFolder("kt-line") + "\\moves.plt", Moves(kLines));
    }
    static constexpr int kLines = 30;
    HWND dlg = CreateMainDialog();
};

}  // namespace

// Every character of the run reaches the board once and in order, through held writes and
// time-outs on the UART and through the adapter's frames, and on a port that cannot report its
// modem lines (it counts as CTS on); nothing is written after CTS was seen off; the main dialog
// answers within 100 ms all the while.
TEST_F(SerialLine, ARunArrivesWholeOnEachLineAndTheWindowsAnswerThroughout) {
    const struct {
        const char* name;
        SimLineOptions line;
        bool reportsCts;
    } lines[] = {{"UART", Uart(40), true},
                 {"USB, CTS 1 ms late", Usb(1), true},
                 {"USB, CTS 16 ms late", Usb(16), true},
                 {"no modem lines", Uart(), false}};
    for (const auto& k : lines) {
        ConnectBoard(k.line);
        ReportCts = k.reportsCts;
        AnswerTimes answers(dlg);
        StartPlotRun(ids::BtnRun);
        const int64_t worstUs = answers.Finish();
        ASSERT_TRUE(WaitUntil(BoardDone, 20000)) << k.name;
        EXPECT_EQ(BoardReceived(), RunWire(kLines)) << k.name;
        EXPECT_LT(worstUs, 100000) << k.name;
        EXPECT_EQ(WritesWhileOff, 0) << k.name;
        EXPECT_TRUE(k.line.writeTimeoutPerByteUs > 50000 || EmptyWrites > 0) << "no write timed out: proves nothing";
    }
}

// Stop while the driver holds a write: the line in progress goes out whole, nothing after it.
TEST_F(SerialLine, StopDuringAHeldWriteFinishesTheLineAndSendsNothingAfter) {
    ConnectBoard(Uart());
    size_t stoppedIn = std::string::npos;  // the run's character whose write was held
    TimedSteps stop(5, [&](int) {
        if (!WriteHeldLong() || Writes < 200) return true;
        stoppedIn = Written.size() - 1;
        PollRunButtons(ids::BtnStop);
        return false;
    });
    StartPlotRun(ids::BtnRun);
    ASSERT_NE(stoppedIn, std::string::npos) << "no write was held";
    ASSERT_TRUE(WaitUntil(BoardDone, 5000));
    const std::string wire = RunWire(kLines);
    EXPECT_EQ(BoardReceived(), wire.substr(0, wire.find("\r\n", stoppedIn) + 2));
}

// Closing the program ends a held write at once: its character never reaches the board (held
// behind a move of a second, far longer than closing takes).
TEST_F(SerialLine, ClosingDuringAHeldWriteCancelsIt) {
    ConnectBoard(Uart());
    int64_t closedUs = 0;
    TimedSteps close(5, [&](int) {
        if (!WriteHeldLong()) return true;
        closedUs = SimPortClockUs();
        PostMessageA(dlg, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_EQ(SendCommand("PR2000,0;\r\n" + Moves(kLines)), SendResult::Abandoned);
    EXPECT_LT(SimPortClockUs() - closedUs, 100000);
    ASSERT_TRUE(WaitUntil(BoardDone, 8000));
    EXPECT_EQ(BoardReceived(), Written.substr(0, Written.size() - 1));
}

// The board answers while the PC's write is held, and the answer reaches the line monitor
// then, not after the write: here the board echoes every character it receives.
TEST_F(SerialLine, RepliesArriveWhileAWriteIsHeld) {
    ConnectBoard(Uart());
    StartReceiveLoop(comPort);
    HWND monitor = OpenLineMonitor(dlg);
    SendCommand("PX7,16\r\n");
    ASSERT_TRUE(WaitUntil(BoardDone));
    std::map<int, std::set<size_t>> shownDuring;  // per held write, the lengths the receive box had
    TimedSteps look(5, [&](int) {
        if (WriteHeld) shownDuring[Writes].insert(ControlText(GetDlgItem(monitor, ids::TxtMonitorRx)).size());
        return true;
    });
    SendCommand(Moves(kLines));
    int grew = 0;
    for (const auto& [write, lengths] : shownDuring) grew += lengths.size() > 1;
    EXPECT_GT(grew, 0) << shownDuring.size() << " writes were held";
    ClosePortAndStopReceiving();
}

// The system is kept awake from the start of a run or a transfer to its end, also an end by
// Stop or by closing the program.
TEST_F(SerialLine, ThePcStaysAwakeWhileTheMachineWorks) {
    static std::vector<EXECUTION_STATE> asked;
    static int32_t givenBackAt = 0;  // how far the run had read the file
    SetExecutionState = [](EXECUTION_STATE flags) WINAPI -> EXECUTION_STATE {
        givenBackAt = App.ProgressPercent;
        return asked.push_back(flags), 0;
    };
    HWND setup = CreateSetupDialog(dlg);
    for (const char* end : {"a run", "stopped", "a register read", "closed"}) {
        ConnectBoard();
        asked.clear();
        TimedSteps steps(20, [&](int n) {
            if (n == 3 && end == std::string("stopped")) PollRunButtons(ids::BtnStop);
            if (n == 3 && end == std::string("closed")) PostMessageA(dlg, WM_CLOSE, 0, 0);
            return n < 3;
        });
        if (end == std::string("a register read")) {
            StartReceiveLoop(comPort);
            ReadRegisters(setup, ReadMode::Read);
            ClosePortAndStopReceiving();
        } else {
            StartPlotRun(ids::BtnRun);
        }
        EXPECT_EQ(asked, (std::vector<EXECUTION_STATE>{ES_CONTINUOUS | ES_SYSTEM_REQUIRED, ES_CONTINUOUS})) << end;
        EXPECT_TRUE(end != std::string("stopped") || givenBackAt < 100) << "given back at Stop, not at the end";
    }
    SetExecutionState = SetThreadExecutionState;
}
