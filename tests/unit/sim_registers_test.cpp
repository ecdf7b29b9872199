#include "sim/sim_registers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The numeric fields of the setup dialog: first register, width, minimum, maximum. A read
// after a factory reset must pass every one of these range checks.
struct Field {
    int reg, width;
    int64_t min, max;
};
const Field kFields[] = {
    {2, 1, 2, 125},         {3, 1, 5, 100},         {4, 1, 5, 100},  {8, 2, 100, 32000},
    {10, 4, 0, 2000000},    {14, 4, 0, 2000000},    {18, 4, 0, 2000000},
    {22, 2, 0, 32000},      {24, 2, 0, 32000},
};

std::string TempPath(const char* name) { return testing::TempDir() + name; }

void WriteFile(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

}  // namespace

TEST(SimRegisters, FactoryValuesPassTheSetupDialogsRangeChecks) {
    SimRegisters regs;
    SimFactoryRegisters(regs);
    for (const Field& f : kFields) {
        const int64_t v = SimJoinRegisters(regs, f.reg, f.width);
        EXPECT_GE(v, f.min) << "register " << f.reg;
        EXPECT_LE(v, f.max) << "register " << f.reg;
    }
    for (int tool = 1; tool <= 9; ++tool) {
        const int b = 21 + 5 * tool;
        EXPECT_GE(regs[b], 1);
        EXPECT_LE(regs[b], 100);
        EXPECT_GE(regs[b + 1], 1);
        EXPECT_LE(regs[b + 1], 100);
        EXPECT_GE(SimJoinRegisters(regs, b + 3, 2), 1);
        EXPECT_LE(SimJoinRegisters(regs, b + 3, 2), 32000);
    }
}

TEST(SimRegisters, WideValuesAndLowBytes) {
    SimRegisters regs{};
    regs[10] = 128, regs[11] = 132, regs[12] = 30, regs[13] = 0;
    EXPECT_EQ(SimJoinRegisters(regs, 10, 4), 2000000);
    regs[8] = 0, regs[9] = 125;
    EXPECT_EQ(SimJoinRegisters(regs, 8, 2), 32000);
    EXPECT_EQ(SimLowByte(300), 44);
    EXPECT_EQ(SimLowByte(-1), 255);
    EXPECT_EQ(SimLowByte(INT64_MIN), 0);
}

TEST(SimRegisters, StateFileRoundTripKeepsZeroedFactoryRegisters) {
    const std::string path = TempPath("sim_state_roundtrip.txt");
    SimRegisters regs;
    SimFactoryRegisters(regs);
    regs[2] = 0;      // factory value non-zero: the zero must survive
    regs[71] = 9;     // outside the table
    regs[9999] = 255;
    ASSERT_TRUE(SimWriteStateFile(path, regs));
    ASSERT_TRUE(SimWriteStateFile(path, regs));  // over an existing file
    SimRegisters back{};
    ASSERT_TRUE(SimReadStateFile(path, back));
    EXPECT_EQ(back, regs);
    std::remove(path.c_str());
    EXPECT_FALSE(SimReadStateFile(path, back));
}

TEST(SimRegisters, MalformedStateLinesAreSkipped) {
    const std::string path = TempPath("sim_state_malformed.txt");
    WriteFile(path, "# comment\n 3 = 77 \r\n4=256\n9876=1\n0=5\n2=\n6=1 2\n=\n99999999999999=1\n7=3");
    SimRegisters regs{};
    ASSERT_TRUE(SimReadStateFile(path, regs));
    SimRegisters factory;
    SimFactoryRegisters(factory);
    EXPECT_EQ(regs[3], 77);
    EXPECT_EQ(regs[7], 3);  // last line without line end
    for (int r : {2, 4, 6}) EXPECT_EQ(regs[r], factory[r]) << r;
    EXPECT_EQ(regs[9876], 0);
    std::remove(path.c_str());
}
