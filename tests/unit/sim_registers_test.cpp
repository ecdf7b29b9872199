#include "sim/sim_registers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

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
