#include "sim/sim_registers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "sim/sim_board.h"
#include "test_files.h"

TEST(SimRegisters, MalformedStateLinesAreSkipped) {
    const std::string path = testing::TempDir() + "sim_state_malformed.txt";
    WriteFile(path, "# comment\n 3 = 77 \r\n4=256\n9876=1\n0=5\n2=\n6=1 2\n=\n99999999999999=1\n7=3");
    SimRegisters regs{};
    ASSERT_TRUE(SimReadStateFile(path, regs));
    SimRegisters factory;
    SimFactoryRegisters(factory);
    EXPECT_EQ(regs[3], 77);
    EXPECT_EQ(regs[7], 3);  // last line without line end
    for (int r : {2, 4, 6}) EXPECT_EQ(regs[r], factory[r]) << r;
    for (int r : {0, 9876}) EXPECT_EQ(regs[r], 0) << r;
    std::remove(path.c_str());
}

// Over 1 MiB a file is not applied at all (a line cut at the limit would set a wrong value);
// one of exactly 1 MiB is applied whole.
TEST(SimRegisters, AStateFileOverTheLimitLeavesTheFactoryValues) {
    const std::string path = ScratchPath("sim_state_big.txt");
    SimRegisters factory;
    SimFactoryRegisters(factory);
    for (const bool over : {true, false}) {
        WriteFile(path, "3=77\n#" + std::string((1 << 20) - 14 + over, '-') + "\n1234=25");  // cut: "1234=2"
        SimBoard board;
        SimInit(board, false, path, 0);
        EXPECT_EQ(board.registers[3], over ? factory[3] : 77) << over;
        EXPECT_EQ(board.registers[1234], over ? factory[1234] : 25) << over;
    }
    std::remove(path.c_str());
}
