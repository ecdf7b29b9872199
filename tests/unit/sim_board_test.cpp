#include "sim/sim_board.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

SimBoard Board(bool pacing = false, const std::string& statePath = "") {
    SimBoard b;
    SimInit(b, pacing, statePath, 0);
    return b;
}

// Sends at the board's current time and returns what came back at once.
std::string Send(SimBoard& b, const std::string& text) {
    SimReceive(b, text.data(), text.size(), b.nowMs);
    return SimTakeOutput(b);
}

// A board without any echo option, so that only direct replies come back.
SimBoard QuietBoard(bool pacing = false) {
    SimBoard b = Board(pacing);
    Send(b, "PX6,0\r\n");
    SimAdvance(b, b.nowMs + 100);
    SimTakeOutput(b);
    SimTakeLog(b);
    return b;
}

std::string Position(const SimBoard& b) {
    const SimMachine& m = b.machine;
    return std::to_string(m.x) + "/" + std::to_string(m.y) + "/" + std::to_string(m.z) + "/" + std::to_string(m.p);
}

}  // namespace

TEST(SimBoard, AnswersTheDiscoveryProbe) {
    SimBoard b = Board();
    EXPECT_EQ(Send(b, "\r\npx0,0\r\n\r\n"), "Register 0=41\r\nXYZP=0/0/0/1\r\n");
    EXPECT_EQ(Send(b, "\r\n"), "");
    EXPECT_EQ(SimTakeLog(b), "PX0,0\tX=0 Y=0 Z=0 P=1\n");
}

TEST(SimBoard, RegisterWriteReadAndByteStore) {
    SimBoard b = QuietBoard();
    EXPECT_EQ(Send(b, "PX2,10\r\nPX0,2\r\n"), "Register 2=10\r\n");
    EXPECT_EQ(Send(b, "PX10,128;PX11,132;PX12,30;PX13,0;px0,12\r\n"), "Register 12=30\r\n");
    EXPECT_EQ(SimJoinRegisters(b.registers, 10, 4), 2000000);
    // An 8-bit cell keeps the low byte of whatever it is given.
    EXPECT_EQ(Send(b, "PX71,300;PX0,71;PX72,-1;PX0,72\r\n"), "Register 71=44\r\nRegister 72=255\r\n");
    // Register 0 is the board's identification, 9876 takes commands; neither stores.
    EXPECT_EQ(Send(b, "PX9876,77;PX0,9876;PX0,9999;PX0,10000;PX0,-1;PX0\r\n"),
              "Register 9876=0\r\nRegister 9999=0\r\n");
    EXPECT_EQ(Send(b, "PX0,0\r\n"), "Register 0=41\r\n");
}

TEST(SimBoard, StoreSurvivesPowerCycleUnstoredWritesDoNot) {
    SimBoard b = QuietBoard();
    Send(b, "PX 9876,5432\r\nPX3,55\r\nPX 9876,5432\r\nPX4,66\r\n");
    SimPowerCycle(b, 10);
    EXPECT_EQ(b.registers[3], 55);
    EXPECT_EQ(b.registers[4], 20);
    EXPECT_EQ(Position(b), "0/0/0/1");
}

TEST(SimBoard, StateFileKeepsStoredRegistersAcrossRestarts) {
    const std::string path = testing::TempDir() + "sim_board_state.txt";
    std::remove(path.c_str());
    {
        SimBoard b = Board(false, path);
        Send(b, "PX3,55\r\nPX 9876,5432\r\nPX4,66\r\n");
    }
    SimBoard restarted = Board(false, path);
    EXPECT_EQ(restarted.registers[3], 55);
    EXPECT_EQ(restarted.registers[4], 20);
    // A factory reset is stored too.
    Send(restarted, "PX 9876,5433\r\n");
    SimBoard again = Board(false, path);
    EXPECT_EQ(again.registers[3], 60);
    EXPECT_EQ(again.stateFileErrors, 0u);
    std::remove(path.c_str());

    SimBoard unwritable = Board(false, testing::TempDir() + "no/such/dir/state.txt");
    Send(unwritable, "PX 9876,5432\r\n");
    EXPECT_EQ(unwritable.stateFileErrors, 1u);
}

TEST(SimBoard, FactoryResetRestoresEveryTableRegister) {
    SimBoard b = QuietBoard();
    std::string junk;
    for (int r = 2; r <= 70; ++r) junk += "PX" + std::to_string(r) + ",0;";
    Send(b, junk + "PX 9876,5433\r\n");
    SimRegisters factory;
    SimFactoryRegisters(factory);
    for (int r = 2; r <= 70; ++r) EXPECT_EQ(b.registers[r], factory[r]) << r;
}

TEST(SimBoard, PositionQueryAndHexOutput) {
    SimBoard b = QuietBoard();
    EXPECT_EQ(Send(b, "PA400,-120;ZR15;SP2\r\n;PX9876,3\r\n"), "XYZP=400/-120/0/2\r\n");
    Send(b, "PX12,31\r\nPX7,1\r\n");
    EXPECT_EQ(Send(b, "PX0,12\r\n"), "Register 12=0x1f\r\n");
    EXPECT_EQ(Send(b, ";PX9876,3\r\n"), "XYZP=0x190/-0x78/0x0/0x2\r\n");
}

TEST(SimBoard, EchoOptionsOfRegisterSix) {
    SimBoard b = QuietBoard();
    EXPECT_EQ(Send(b, "PX6,1\r\nPR20,0\r\n"), "OK\r\nOK\r\n");
    EXPECT_EQ(Send(b, "PX6,2\r\nPR20,0;PU\r\n"), "XYZP=20/0/0/1\r\nXYZP=40/0/0/1\r\nXYZP=40/0/0/1\r\n");
    // All of them, with the command echo of 7/7 in front: one block per command.
    Send(b, "PX7,128\r\n");
    EXPECT_EQ(Send(b, "PX6,31\r\nPD\r\n"),
              ">PX6,31\r\nXYZP=40/0/0/1\r\nI=0\r\nPOT=512\r\nCNT=1\r\nOK\r\n"
              ">PD\r\nXYZP=40/0/40/1\r\nI=850\r\nPOT=512\r\nCNT=2\r\nOK\r\n");
    // Empty commands and garbage get no acknowledgement; accepted unknown commands do.
    Send(b, "PX7,0;PX6,1\r\n");
    EXPECT_EQ(Send(b, "\r\n;;#!;PA1,&2\r\nIN;VS10\r\n"), "OK\r\nOK\r\n");
}

TEST(SimBoard, DebugOptionsOfRegisterSeven) {
    SimBoard b = QuietBoard();
    Send(b, "PX7,16\r\n");
    // The reply goes out at the CR, before the LF is echoed.
    EXPECT_EQ(Send(b, "PX0,3\r\n"), "PX0,3\rRegister 3=60\r\n\n");
    // Debug only: commands are taken but the machine stays where it is.
    Send(b, "PX7,64\r\n");
    Send(b, "PR100,100;PD;SP3;RE\r\n");
    EXPECT_EQ(Position(b), "0/0/0/1");
    EXPECT_EQ(Send(b, "PX0,7\r\n"), "Register 7=64\r\n");
}

TEST(SimBoard, MovesPenAndZ) {
    SimBoard b = QuietBoard();
    Send(b, "PA100,200\r\n");
    EXPECT_EQ(Position(b), "100/200/0/1");
    Send(b, "PR10,10,10,10\r\n");
    EXPECT_EQ(Position(b), "120/220/0/1");
    // PU/PD take pairs in the mode last set (PR here); PD plunges to the tool's depth.
    Send(b, "PD5,-20;\r\n");
    EXPECT_EQ(Position(b), "125/200/40/1");
    EXPECT_TRUE(b.machine.penDown);
    Send(b, "PA;PU0,0\r\n");
    EXPECT_EQ(Position(b), "0/0/0/1");
    Send(b, "ZR-20\r\n");
    EXPECT_EQ(b.machine.z, -20);
    // A different tool is lifted out first; its own depth applies afterwards.
    Send(b, "PD;SP3;\r\n");
    EXPECT_EQ(Position(b), "0/0/0/3");
    Send(b, "PD\r\n");
    EXPECT_EQ(b.machine.z, 120);
    Send(b, "SP\r\n");
    EXPECT_EQ(b.machine.p, 0);
    Send(b, "PA300,300;RE\r\n");
    EXPECT_EQ(Position(b), "0/0/0/0");
    Send(b, "PX10,128;PX11,132;PX12,30;PX13,0;NU\r\n");
    EXPECT_EQ(Position(b), "2000000/400/0/0");
}

TEST(SimBoard, PositionsSaturateInsteadOfOverflowing) {
    SimBoard b = QuietBoard();
    Send(b, "PR2147483647,-2147483647;PR2147483647,-2147483647;ZR2147483647;ZR9\r\n");
    EXPECT_EQ(Position(b), "2147483647/-2147483648/2147483647/1");
    SimAdvance(b, INT64_MAX);
    Send(b, "PX0,0\r\n");
}

TEST(SimBoard, LongPolylineIsLoggedPerPieceAndEndsWhereItShould) {
    SimBoard b = QuietBoard();
    std::string line = "PA";
    for (int i = 1; i <= 10000; ++i) line += std::to_string(i) + "," + std::to_string(2 * i) + (i < 10000 ? "," : "");
    Send(b, line + "\r\n");
    EXPECT_EQ(Position(b), "10000/20000/0/1");
    const std::string log = SimTakeLog(b);
    size_t lines = 0;
    for (char c : log) lines += c == '\n';
    EXPECT_EQ(lines, (20000 + kSimMaxPairParams - 1) / kSimMaxPairParams);
}

TEST(SimBoard, GarbageNeverGrowsMemory) {
    SimBoard b = QuietBoard(true);
    uint32_t seed = 7;
    std::string chunk(4096, ' ');
    for (int round = 0; round < 100; ++round) {
        for (char& c : chunk) {
            seed = seed * 1664525u + 1013904223u;
            c = static_cast<char>(seed >> 24);
        }
        SimReceive(b, chunk.data(), chunk.size(), b.nowMs + 10);
        EXPECT_LE(SimLineBacklog(b), kSimMaxLineBacklog);
        EXPECT_LE(b.queuedChars, kSimMaxQueuedChars);
    }
    EXPECT_GT(b.lostInput, 0u);
    // Whatever moves the noise happened to spell out (an hour at most each) are long done.
    SimAdvance(b, b.nowMs + 1'000'000'000);
    EXPECT_LE(b.output.size(), kSimMaxPending);
    SimTakeOutput(b);
    // Output nobody takes is capped, and what was dropped is counted.
    SimBoard echo = QuietBoard();
    Send(echo, "PX7,16\r\n");
    const std::string spaces(kSimMaxPending + 10, ' ');
    SimReceive(echo, spaces.data(), spaces.size(), 0);
    EXPECT_EQ(echo.output.size(), kSimMaxPending);
    EXPECT_EQ(echo.lostOutput, 10u);
    Send(b, "\r\nPX7,0;PX6,0;PX0,0\r\n");
    SimAdvance(b, b.nowMs + 100);
    EXPECT_NE(SimTakeOutput(b).find("Register 0=41\r\n"), std::string::npos);
}

TEST(SimBoardPacing, CharactersCrossTheLineAt1920PerSecond) {
    SimBoard b = QuietBoard(true);
    Send(b, "PX7,16\r\n");
    SimAdvance(b, b.nowMs + 100);
    SimTakeOutput(b);
    const int64_t t0 = b.nowMs;
    const std::string text(1920, ' ');
    SimReceive(b, text.data(), text.size(), t0);
    SimAdvance(b, t0 + 25);
    EXPECT_EQ(SimTakeOutput(b).size(), 48u);  // 25 ms x 1.92
    EXPECT_EQ(SimLineBacklog(b), 1920u - 48u);
    SimAdvance(b, t0 + 1000);
    EXPECT_EQ(SimTakeOutput(b).size(), 1920u - 48u);
    EXPECT_TRUE(SimIdle(b));
}

TEST(SimBoardPacing, MovesTakeTheirTimeAndRepliesWaitForThem) {
    SimBoard b = QuietBoard(true);
    const int64_t t0 = b.nowMs;
    // Factory speed: 0.512 ms a step, one step per unit; 4000 units take 2048 ms.
    Send(b, "PR4000,0\r\n;PX9876,3\r\n");
    SimAdvance(b, t0 + 2000);
    EXPECT_EQ(SimTakeOutput(b), "");
    EXPECT_EQ(b.machine.x, 0);  // still on its way
    EXPECT_FALSE(SimIdle(b));
    SimAdvance(b, t0 + 2100);
    EXPECT_EQ(SimTakeOutput(b), "XYZP=4000/0/0/1\r\n");
    EXPECT_EQ(SimTakeLog(b), "PR4000,0\tX=4000 Y=0 Z=0 P=1\nPX9876,3\tX=4000 Y=0 Z=0 P=1\n");
    // Cutting is slower: tool 1 cuts at half the speed (and plunges 40 units at a quarter).
    const int64_t t1 = b.nowMs;
    Send(b, "PD;PR1000,0\r\n");
    SimAdvance(b, t1 + 1000);
    EXPECT_EQ(b.machine.x, 4000);
    EXPECT_EQ(SimNextEventMs(b), t1 + 2 + 82 + 1024);  // "PD;" on the line, plunging, cutting
    SimAdvance(b, t1 + 1200);
    EXPECT_EQ(b.machine.x, 5000);
    EXPECT_EQ(SimNextEventMs(b), INT64_MAX);
}

// Motor time of one command after others have set the machine up, at factory speed: 0.512 ms
// a step, one step per plotter unit; tool n plunges n mm at a quarter of that speed and cuts
// at half of it.
TEST(SimBoardPacing, MoveTimesFollowTheSpeedRegisters) {
    struct Case {
        const char* before;
        const char* command;
        int64_t us;
    };
    const Case cases[] = {
        {"", "PR4000,0", 2048000},
        {"", "PR-3000,4000", 2048000},             // the longer leg sets the time
        {"PX2,8", "PR4000,0", 4096000},            // step time
        {"PX5,1", "PR4000,0", 4096000},            // half steps
        {"PX8,64;PX9,31", "PR4000,0", 4096000},    // 8000 steps per 100 mm instead of 4000
        {"", "PD", 81920},                         // plunge 1 mm
        {"", "ZR1", 2048},                         // any move down plunges
        {"PD", "PR1000,0", 1024000},               // cutting
        {"PD", "PU", 20480},                       // retract at the rapid speed...
        {"PX28,2;PD", "PU", 81920},                // ...or, with the tool's bit 1, at the plunge speed
        {"SP2", "PD", 163840},                     // tool 2 plunges 2 mm
        {"SP12", "PD", 81920},                     // tools outside 1..9 use tool 1's entry
        {"SP-3", "PD", 81920},
        {"PD;PA4000,0", "RE", 20480 + 2048000},    // reference: Z up, then home
        {"PA800,0", "NU", 409600 + 204800},        // reference, then to the zero point (400,400)
    };
    for (const Case& c : cases) {
        SimBoard b = QuietBoard();
        Send(b, std::string(c.before) + "\r\n");
        SimParser parser;
        std::vector<SimCommand> parsed;
        for (char ch : std::string(c.command) + ";") SimParseChar(parser, ch, parsed);
        ASSERT_EQ(parsed.size(), 1u);
        SimMachine m = b.machine;
        EXPECT_EQ(SimMoveMachine(m, b.registers, parsed[0]), c.us) << c.before << " " << c.command;
    }
}

TEST(SimBoardPacing, CtsDropsWhileTheBufferIsFullButTheLineKeepsFlowing) {
    SimBoard b = QuietBoard(true);
    const int64_t t0 = b.nowMs;
    std::string burst;
    for (int i = 0; i < 100; ++i) burst += "PR400,0\r\n";  // 900 characters, 100 x 205 ms of moving
    SimReceive(b, burst.data(), burst.size(), t0);
    EXPECT_TRUE(SimReadyForInput(b));
    SimAdvance(b, t0 + 100);
    EXPECT_FALSE(SimReadyForInput(b));
    // The line is never held: all of it is inside after 900 / 1.92 ms, long before the moves end.
    SimAdvance(b, t0 + 470);
    EXPECT_EQ(SimLineBacklog(b), 0u);
    EXPECT_FALSE(SimReadyForInput(b));
    SimAdvance(b, t0 + 100 * 205 + 100);
    EXPECT_TRUE(SimReadyForInput(b));
    EXPECT_EQ(b.machine.x, 40000);
    EXPECT_EQ(b.lostInput, 0u);
    // The buffer holds 128 characters: sixteen commands of eight (the LF after each CR ends
    // no command and takes no room) while the first still runs.
    for (int commands : {15, 16}) {
        std::string text;
        for (int i = 0; i < commands; ++i) text += "PR400,0\r\n";
        const int64_t t = b.nowMs;
        Send(b, text);
        SimAdvance(b, t + 100);
        EXPECT_EQ(SimReadyForInput(b), commands == 15) << commands;
        SimAdvance(b, t + 100000);
    }
}

// Without a CTS line the sender cannot be held; kept a few dozen characters ahead of the line
// (as the simulator keeps a pseudo-terminal's writer), the board never holds more than its
// buffer, the machine keeps up with the line, and a query at the end is answered at once with
// the position after every move before it.
TEST(SimBoardPacing, WithoutCtsTheMachineKeepsUpWithTheLine) {
    SimBoard b = QuietBoard(true);
    b.ctsLine = false;
    std::string run;
    for (int i = 0; i < 2000; ++i) run += "PR400,0\r\n";  // 18 kB; seven minutes of moving
    const size_t queryAt = run.size();
    run += ";PX9876,3\r\n";
    const int64_t t0 = b.nowMs;
    int64_t t = t0, queried = -1;
    size_t sent = 0, mostHeld = 0;
    std::string out;
    while (out.empty() && t < t0 + 60000) {
        if (sent < run.size() && SimLineBacklog(b) < 32) {
            const size_t n = run.size() - sent < 32 ? run.size() - sent : 32;
            if (sent <= queryAt && queryAt < sent + n) queried = t;
            SimReceive(b, run.data() + sent, n, t);
            sent += n;
        }
        SimAdvance(b, ++t);
        if (b.queuedChars + b.partialChars > mostHeld) mostHeld = b.queuedChars + b.partialChars;
        out += SimTakeOutput(b);
    }
    EXPECT_LE(mostHeld, kSimInputBuffer);
    EXPECT_EQ(out, "XYZP=800000/0/0/1\r\n");
    EXPECT_LT(t - queried, 100) << "characters of the query and the line ahead of it";
    EXPECT_LT(t - t0, static_cast<int64_t>(run.size()) * 1000 / 1920 + 100);
    // A burst further ahead than the line would let it arrives at once, all but the last 90 bytes.
    std::string burst;
    for (int i = 0; i < 100; ++i) burst += "PR400,0\r\n";
    Send(b, burst);
    SimCatchUpLine(b, 90);
    EXPECT_EQ(SimLineBacklog(b), 90u);
    EXPECT_LE(b.queuedChars + b.partialChars, kSimInputBuffer);
    EXPECT_GE(b.machine.x, 800000 + 400 * (90 - 16));
}
