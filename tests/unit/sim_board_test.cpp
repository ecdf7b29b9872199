#include "sim/sim_board.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "test_files.h"

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

TEST(SimBoard, StoredRegistersOutliveARestartAndMalformedStateLinesAreSkipped) {
    const std::string path = ScratchPath("sim_board_state.txt");
    std::remove(path.c_str());
    SimRegisters factory;
    SimFactoryRegisters(factory);
    SimBoard b = Board(false, path);
    EXPECT_EQ(b.registers, factory);
    // Register 2's zero differs from its factory value; 71 and 9999 lie outside the table.
    Send(b, "PA5,5;PX2,0;PX71,9;PX9999,255;PX 9876,5432;PX4,66\r\n");
    SimRegisters stored = factory;
    stored[2] = 0, stored[71] = 9, stored[9999] = 255;
    SimPowerCycle(b, 10);
    EXPECT_EQ(b.registers, stored);
    EXPECT_EQ(Position(b), "0/0/0/1");
    SimBoard restarted = Board(false, path);
    EXPECT_EQ(restarted.registers, stored);
    // A factory reset is stored too, over the file there is.
    Send(restarted, "PX 9876,5433\r\n");
    EXPECT_EQ(Board(false, path).registers, factory);
    EXPECT_EQ(restarted.stateFileErrors, 0u);
    WriteFile(path, "# comment\n 3 = 77 \r\n4=256\n9876=1\n0=5\n2=\n6=1 2\n=\n99999999999999=1\n7=3");
    SimRegisters regs{};
    ASSERT_TRUE(SimReadStateFile(path, regs));
    EXPECT_EQ(std::make_pair(int{regs[3]}, int{regs[7]}), std::make_pair(77, 3)) << "7=3 has no line end";
    for (int r : {2, 4, 6}) EXPECT_EQ(regs[r], factory[r]) << r;
    for (int r : {0, 9876}) EXPECT_EQ(regs[r], 0) << r;
    // A file over 1 MiB is not applied at all (the line cut at the limit would set 1234 to 2); one of exactly 1 MiB is.
    for (const bool over : {true, false}) {
        WriteFile(path, "3=77\n#" + std::string((1 << 20) - 14 + over, '-') + "\n1234=25");
        regs.fill(9);
        EXPECT_EQ(SimReadStateFile(path, regs), !over);
        EXPECT_EQ(std::make_pair(int{regs[3]}, int{regs[1234]}), over ? std::make_pair(9, 9) : std::make_pair(77, 25))
            << over;
    }
    std::remove(path.c_str());

    SimBoard unwritable = Board(false, testing::TempDir() + "no/such/dir/state.txt");
    Send(unwritable, "PX 9876,5432\r\n");
    EXPECT_EQ(unwritable.stateFileErrors, 1u);
}

// Each case on a fresh board without echoes: the options first, then what is sent.
TEST(SimBoard, RepliesAndTheEchoOptionsOfRegistersSixAndSeven) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"", "PX0,4;PX0,22;PX0,24", "Register 4=20\r\nRegister 22=120\r\nRegister 24=30\r\n"},  // factory values
        {"", "PX71,300;PX0,71;PX72,-1;PX0,72", "Register 71=44\r\nRegister 72=255\r\n"},        // low byte
        // Register 0 is the board's identification, 9876 takes commands; neither stores.
        {"", "PX9876,77;PX0,9876;PX0,9999;PX0,10000;PX0,-1;PX0;PX0,0",
         "Register 9876=0\r\nRegister 9999=0\r\nRegister 0=41\r\n"},
        {"", "PA400,-120;ZR15;SP2;PX9876,3", "XYZP=400/-120/0/2\r\n"},
        {"PX7,1", "PA400,-120;PX12,31;PX0,12;PX9876,3", "Register 12=0x1f\r\nXYZP=0x190/-0x78/0x0/0x1\r\n"},
        // All of them, with the command echo of 7/7 in front: one block per command.
        {"PX7,128", "PX6,31;PD",
         ">PX6,31\r\nXYZP=0/0/0/1\r\nI=0\r\nPOT=512\r\nCNT=1\r\nOK\r\n"
         ">PD\r\nXYZP=0/0/40/1\r\nI=850\r\nPOT=512\r\nCNT=2\r\nOK\r\n"},
        // Empty commands and garbage get no acknowledgement; accepted unknown commands do.
        {"PX6,1", "\r\n;;#!;PA1,&2\r\nIN;VS10", "OK\r\nOK\r\n"},
        // Every character comes back as it arrives: the reply goes out at the CR, before the LF.
        {"PX7,16", "PX0,3", "PX0,3\rRegister 3=60\r\n\n"},
        // Debug only: commands are taken but the machine stays where it is.
        {"PX7,64", "PR100,100;PD;SP3;PX0,7;PX9876,3", "Register 7=64\r\nXYZP=0/0/0/1\r\n"},
    };
    for (const auto& [options, send, reply] : cases) {
        SimBoard b = QuietBoard();
        Send(b, std::string(options) + "\r\n");
        EXPECT_EQ(Send(b, std::string(send) + "\r\n"), reply) << options << " " << send;
    }
    SimBoard echo = QuietBoard();  // output nobody takes is capped, and what was dropped counted
    EXPECT_EQ(Send(echo, "PX7,16\r" + std::string(kSimMaxPending + 10, ' ')).size(), kSimMaxPending);
    EXPECT_EQ(echo.lostOutput, 10u);
}

TEST(SimBoardPacing, MovesTakeTheirTimeAndRepliesWaitForThem) {
    SimBoard b = QuietBoard(true);
    const int64_t t0 = b.nowMs;
    // Factory speed: 0.512 ms a step, one step per unit; 4000 units take 2048 ms.
    Send(b, "PR4000,0\r\n;PX9876,3\r\n");
    SimAdvance(b, t0 + 2000);
    EXPECT_EQ(std::make_tuple(SimTakeOutput(b), b.machine.x, SimIdle(b)), std::make_tuple(std::string(), 0, false))
        << "still on its way";
    SimAdvance(b, t0 + 2100);
    EXPECT_EQ(SimTakeOutput(b), "XYZP=4000/0/0/1\r\n");
    EXPECT_EQ(SimTakeLog(b), "PR4000,0\tX=4000 Y=0 Z=0 P=1\nPX9876,3\tX=4000 Y=0 Z=0 P=1\n");
    // Cutting is slower: tool 1 cuts at half the speed (and plunges 40 units at a quarter).
    const int64_t t1 = b.nowMs;
    Send(b, "PD;PR1000,0\r\n");
    SimAdvance(b, t1 + 1000);
    EXPECT_EQ(SimNextEventMs(b), t1 + 2 + 82 + 1024);  // "PD;" on the line, plunging, cutting
    SimAdvance(b, t1 + 1200);
    EXPECT_EQ(std::make_tuple(b.machine.x, SimNextEventMs(b), SimIdle(b)), std::make_tuple(5000, INT64_MAX, true));

    // Motor time and position after one command, once others have set the machine up; tool n plunges n mm.
    const std::tuple<const char*, const char*, int64_t, const char*> cases[] = {
        {"", "PR4000,0", 2048000, "4000/0/0/1"},
        {"PX2,8", "PR4000,0", 4096000, "4000/0/0/1"},          // step time
        {"PX5,1", "PR4000,0", 4096000, "4000/0/0/1"},          // half steps
        {"PX8,64;PX9,31", "PR4000,0", 4096000, "4000/0/0/1"},  // 8000 steps per 100 mm instead of 4000
        // PU and PD take their pairs in the mode last set, after moving the tool.
        {"PA100,200;PR10,10,10,10", "PD5,-20", 81920 + 20480, "125/200/40/1"},  // the longer leg sets the time
        {"PR125,200;PD;PA", "PU0,0", 20480 + 102400, "0/0/0/1"},                // retract at the rapid speed...
        {"PX28,2;PD", "PU", 81920, "0/0/0/1"},  // ...or, with the tool's bit 1, at the plunge speed
        {"PD", "SP3", 20480, "0/0/0/3"},        // a different tool is lifted out first
        {"PD;SP3", "PR1000,0", 512000, "1000/0/0/3"},
        {"SP3", "PD", 245760, "0/0/120/3"},
        {"", "SP", 0, "0/0/0/0"},
        {"SP12", "PD", 81920, "0/0/40/12"},  // tools outside 1..9 use tool 1's entry: 1 mm at a quarter of the speed
        {"SP-3", "PD", 81920, "0/0/40/1"},   // and no negative tool is taken
        {"PD;PA4000,0", "RE", 20480 + 2048000, "0/0/0/1"},                 // reference: Z up, then home
        {"PA800,0;PX18,5", "NU", 409600 + 204800 + 10240, "400/400/5/1"},  // reference, then to the zero point
        {"PX10,128;PX11,132;PX12,30;PX13,0", "NU", 1024000000, "2000000/400/0/1"},
        // Positions saturate instead of overflowing; no command takes more than an hour.
        {"PR2147483647,-2147483647", "PR2147483647,-2147483647", 512, "2147483647/-2147483648/0/1"},
        {"ZR2147483647", "ZR9", 0, "0/0/2147483647/1"},
        {"", "PR2147483647,0", kSimMaxMoveUs, "2147483647/0/0/1"},
    };
    for (const auto& [before, command, us, xyzp] : cases) {
        SimBoard fresh = QuietBoard();
        Send(fresh, std::string(before) + "\r\n");
        SimParser parser;
        std::vector<SimCommand> parsed;
        for (char ch : std::string(command) + ";") SimParseChar(parser, ch, parsed);
        ASSERT_EQ(parsed.size(), 1u);
        EXPECT_EQ(SimMoveMachine(fresh.machine, fresh.registers, parsed[0]), us) << before << " " << command;
        EXPECT_EQ(Position(fresh), xyzp) << before << " " << command;
    }
}
