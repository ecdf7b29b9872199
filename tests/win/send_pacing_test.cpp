// SendCommand against an in-process board whose CTS line drops while its command buffer is
// full: the only way to see the handshake work, since pseudo-terminals have no CTS.
#include "tests/win/win_test_util.h"

#include "sim/sim_board.h"

namespace {

SimBoard Board;
bool ReportCts = true;     // false: the port cannot tell (like a pseudo-terminal)
bool LastCtsOn = true;     // what the sender saw at its last look
int CtsOffPasses = 0;      // waiting passes the sender made while CTS was off
int WritesWhileOff = 0;    // characters written after the sender last saw CTS off: must stay 0
int CtsUnknownCalls = 0;

// A fine clock: the tick count moves in steps too coarse for a line at 1920 characters/s.
int64_t Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<int64_t>(c.QuadPart * 1000 / f.QuadPart);
}

int FakeCts(HANDLE) {
    SimAdvance(Board, Now());
    if (!ReportCts) return ++CtsUnknownCalls, -1;
    LastCtsOn = SimReadyForInput(Board);
    CtsOffPasses += !LastCtsOn;
    return LastCtsOn ? 1 : 0;
}
DWORD FakeQueue(HANDLE) {
    SimAdvance(Board, Now());
    return static_cast<DWORD>(SimLineBacklog(Board));
}
bool FakeWrite(HANDLE, const std::string& bytes) {
    SimAdvance(Board, Now());
    // The line may drop CTS between the sender's look and its write, as on any port; what
    // counts is that the sender never writes after seeing it off.
    WritesWhileOff += ReportCts && !LastCtsOn;
    SimReceive(Board, bytes.data(), bytes.size(), Now());
    return true;
}

class SendPacing : public testing::Test {
protected:
    void SetUp() override {
        CreateMainDialog();
        SimInit(Board, true, "", Now());
        PortOps = {FakeCts, FakeQueue, FakeWrite, [](HANDLE) { return std::string(); }};
        comPort = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x4000));
    }
    void TearDown() override { comPort = INVALID_HANDLE_VALUE; }
};

// Lines of moves of 5 mm, each taking the board about 0.1 s: more than its buffer holds.
std::string ManyMoves(int lines) {
    std::string s;
    for (int i = 0; i < lines; ++i) s += "PR200,0;PR0,200;\r\n";
    return s;
}

}  // namespace

TEST_F(SendPacing, TheSenderWaitsWhileTheBoardHoldsCtsOff) {
    SendCommand(ManyMoves(14));  // 252 characters
    EXPECT_GT(CtsOffPasses, 0) << "the board never dropped CTS: the test proves nothing";
    EXPECT_EQ(WritesWhileOff, 0);
    // Every command arrived, in order: the board ends where the 28 moves take it.
    for (const DWORD start = GetTickCount(); !SimIdle(Board) && GetTickCount() - start < 10000; Sleep(5))
        SimAdvance(Board, Now());
    EXPECT_EQ(Board.machine.x, 2800);
    EXPECT_EQ(Board.machine.y, 2800);
}

TEST_F(SendPacing, APortThatCannotReportItsLinesCountsAsCtsOn) {
    ReportCts = false;
    SendCommand("PU\r\n");
    EXPECT_GT(CtsUnknownCalls, 0);
    SimAdvance(Board, Now() + 1000);
    EXPECT_EQ(SimTakeLog(Board).substr(0, 3), "PU\t");
    // Without a port nothing is written, and nothing waits.
    comPort = INVALID_HANDLE_VALUE;
    SendCommand(ManyMoves(5));
    SimAdvance(Board, Now() + 2000);
    EXPECT_EQ(SimTakeLog(Board), "");
}
