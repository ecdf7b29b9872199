#include "sim/sim_registers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_files.h"

TEST(SimRegisters, MalformedStateLinesAreSkippedAndAnOversizedFileIgnored) {
    const std::string path = ScratchPath("sim_state_malformed.txt");
    WriteFile(path, "# comment\n 3 = 77 \r\n4=256\n9876=1\n0=5\n2=\n6=1 2\n=\n99999999999999=1\n7=3");
    SimRegisters regs{};
    ASSERT_TRUE(SimReadStateFile(path, regs));
    SimRegisters factory;
    SimFactoryRegisters(factory);
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
}
