// Sending and receiving against an in-process board: the only way to see the CTS handshake
// work (pseudo-terminals have no CTS line), and replies reaching the windows.
#include "tests/win/win_test_util.h"

#include <mutex>

#include "link/line_monitor_win.h"
#include "link/traffic_log_win.h"
#include "sim/sim_board.h"

namespace {

SimBoard Board;
std::mutex BoardLock;      // the receive thread reads while the user-interface thread writes
bool ReportCts = true;     // false: the port cannot tell (like a pseudo-terminal)
bool LastCtsOn = true;     // what the sender saw at its last look
int CtsOffPasses = 0;      // waiting passes the sender made while CTS was off
int WritesWhileOff = 0;    // characters written after the sender last saw CTS off: must stay 0

// A fine clock: the tick count moves in steps too coarse for a line at 1920 characters/s.
int64_t Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<int64_t>(c.QuadPart * 1000 / f.QuadPart);
}

const PortDriver kBoardPort = {
    [](HANDLE) {
        std::lock_guard<std::mutex> hold(BoardLock);
        SimAdvance(Board, Now());
        LastCtsOn = SimReadyForInput(Board);
        CtsOffPasses += !LastCtsOn;
        return ReportCts ? LastCtsOn ? 1 : 0 : -1;
    },
    [](HANDLE) {
        std::lock_guard<std::mutex> hold(BoardLock);
        return static_cast<DWORD>(SimLineBacklog(Board));
    },
    [](HANDLE, const std::string& bytes) {
        std::lock_guard<std::mutex> hold(BoardLock);
        // CTS may drop between the sender's look and its write, as on any port; what counts is
        // that the sender never writes after seeing it off.
        WritesWhileOff += ReportCts && !LastCtsOn;
        SimReceive(Board, bytes.data(), bytes.size(), Now());
        return true;
    },
    [](HANDLE) {
        std::lock_guard<std::mutex> hold(BoardLock);
        SimAdvance(Board, Now());
        return SimTakeOutput(Board);
    },
};

class InProcessBoard : public testing::Test {
protected:
    void SetUp() override {
        CreateMainDialog();
        SimInit(Board, true, "", Now());
        PortOps = kBoardPort;
        comPort = reinterpret_cast<HANDLE>(ULONG_PTR{0x4000});
    }
};

}  // namespace

TEST_F(InProcessBoard, TheSenderWaitsWhileTheBoardHoldsCtsOff) {
    std::string moves;  // of 5 mm, each taking the board about 0.1 s: more than its buffer holds
    for (int i = 0; i < 14; ++i) moves += "PR200,0;PR0,200;\r\n";
    SendCommand(moves);
    EXPECT_GT(CtsOffPasses, 0) << "the board never dropped CTS: the test proves nothing";
    EXPECT_EQ(WritesWhileOff, 0);
    // Every command arrived, in order: the board ends where the 28 moves take it.
    EXPECT_TRUE(WaitUntil([] { return SimAdvance(Board, Now()), SimIdle(Board); }, 10000));
    EXPECT_EQ(std::make_pair(Board.machine.x, Board.machine.y), std::make_pair(2800, 2800));
    // A port that cannot report its lines counts as CTS on.
    ReportCts = false;
    SimTakeLog(Board);
    SendCommand("PD\r\n");
    SimAdvance(Board, Now() + 1000);
    EXPECT_EQ(SimTakeLog(Board).substr(0, 3), "PD\t");
}

TEST_F(InProcessBoard, RepliesFillThePositionBoxesTheRegisterImageAndTheTrafficFiles) {
    SetCurrentDirectoryA(TempFolder("kt-board").c_str());
    HWND monitor = OpenLineMonitor(nullptr);
    CheckDlgButton(monitor, ids::ChkTrafficLog, BST_CHECKED);
    Hand hand;  // answers the box that says where the files go
    SetTrafficLogging(monitor);
    hand.Finish();
    StartReceiveLoop(comPort);
    SendCommand("PA400,-120;PX12,30\r\n;PX9876,3\r\nPX0,12\r\n");
    auto text = [](int id) { return Text(GetDlgItem(Ui.mainDialog, id)); };
    EXPECT_TRUE(PumpUntil([&] { return text(ids::TxtPen) == "1" && App.RegisterImage[12] == 30; }));
    EXPECT_EQ(text(ids::TxtPosX) + " " + text(ids::TxtPosY) + " " + text(ids::TxtPosZ), "10.000 -3.000 0.000");
    EXPECT_NE(ReadFileBytes("txprot.txt").find(" #####\r\nPA400,-120;PX12,30\r\n;PX9876,3\r\nPX0,12\r\n"), std::string::npos);
    EXPECT_NE(ReadFileBytes("rxprot.txt").find("XYZP=400/-120/0/1"), std::string::npos);
    comPort = INVALID_HANDLE_VALUE;  // the receive loop ends by itself
    SendCommand("PU\r\n");  // dropped without a fuss
}
