// SendCommand against an in-process board whose CTS line drops while its command buffer is
// full: the only way to see the handshake work, since pseudo-terminals have no CTS.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/main_dialog_win.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"
#include "sim/sim_board.h"

namespace {

SimBoard Board;
int CtsOffPasses = 0;      // waiting passes the sender made while CTS was off
int WritesWhileOff = 0;    // characters written after the sender last saw CTS off: must stay 0
bool LastCtsOn = true;     // what the sender saw at its last look
int CtsUnknownCalls = 0;
bool ReportCts = true;
size_t MaxQueued = 0;     // false: the port cannot tell (like a pseudo-terminal)

// A fine clock: the tick count moves in steps too coarse for a line at 1920 characters/s.
int64_t Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<int64_t>(c.QuadPart * 1000 / f.QuadPart);
}

int FakeCts(HANDLE) {
    SimAdvance(Board, Now());
    if (!ReportCts) {
        ++CtsUnknownCalls;
        return -1;
    }
    const bool on = SimReadyForInput(Board);
    if (!on) ++CtsOffPasses;
    LastCtsOn = on;
    return on ? 1 : 0;
}
DWORD FakeQueue(HANDLE) {
    SimAdvance(Board, Now());
    return static_cast<DWORD>(SimLineBacklog(Board));
}
bool FakeWrite(HANDLE, const std::string& bytes) {
    SimAdvance(Board, Now());
    // The line may drop CTS between the sender's look and its write, as on any port; what
    // counts is that the sender never writes after seeing it off.
    if (ReportCts && !LastCtsOn) ++WritesWhileOff;
    SimReceive(Board, bytes.data(), bytes.size(), Now());
    if (Board.queuedChars > MaxQueued) MaxQueued = Board.queuedChars;
    return true;
}
std::string FakeRead(HANDLE) { return ""; }

class SendPacing : public testing::Test {
protected:
    void SetUp() override {
        dlg = CreateMainDialog();
        SimInit(Board, true, "", Now());
        PortOps = {FakeCts, FakeQueue, FakeWrite, FakeRead};
        comPort = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x4000));
    }
    void TearDown() override {
        comPort = INVALID_HANDLE_VALUE;
        DestroyWindow(dlg);
    }
    HWND dlg = nullptr;
};

// Lines of moves of 5 mm, each taking the board about 0.1 s: more than its buffer holds.
std::string ManyMoves(int lines) {
    std::string s;
    for (int i = 0; i < lines; ++i) s += "PR200,0;PR0,200;\r\n";
    return s;
}

}  // namespace

TEST_F(SendPacing, TheSenderWaitsWhileTheBoardHoldsCtsOff) {
    const std::string text = ManyMoves(14);  // 252 characters
    SendCommand(text);
    EXPECT_GT(CtsOffPasses, 0) << "the board never dropped CTS: the test proves nothing; most queued " << MaxQueued;
    EXPECT_EQ(WritesWhileOff, 0);
    // Every command arrived, in order: the board ends where the 28 moves take it.
    const DWORD start = GetTickCount();
    while (!SimIdle(Board) && GetTickCount() - start < 10000) {
        SimAdvance(Board, Now());
        Sleep(5);
    }
    EXPECT_EQ(Board.machine.x, 2800);
    EXPECT_EQ(Board.machine.y, 2800);
}

TEST_F(SendPacing, APortThatCannotReportItsLinesCountsAsCtsOn) {
    ReportCts = false;
    SendCommand("PU\r\n");
    EXPECT_GT(CtsUnknownCalls, 0);
    SimAdvance(Board, Now() + 1000);
    EXPECT_EQ(SimTakeLog(Board).substr(0, 3), "PU\t");
}

TEST_F(SendPacing, WithoutAPortNothingIsWrittenAndNothingWaits) {
    comPort = INVALID_HANDLE_VALUE;
    SendCommand(ManyMoves(5));
    SimAdvance(Board, Now() + 1000);
    EXPECT_EQ(SimTakeLog(Board), "");
}
