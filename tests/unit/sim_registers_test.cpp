#include "sim/sim_registers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "config/register_table.h"

// A fresh board must read back into the setup dialog without a single range error.
TEST(SimRegisters, FactoryValuesPassTheSetupDialogsRangeChecks) {
    SimRegisters regs;
    SimFactoryRegisters(regs);
    FieldSpecTable table;
    for (const RegisterField& f : RegisterFields()) {
        TakeFieldSpec(table, f.id, f.caption);
        const FieldSpec s = ParseFieldSpec(FieldSpecEntry(table, f.id));
        const int64_t v = SimJoinRegisters(regs, s.reg, s.width);
        EXPECT_TRUE(IsBitField(s) || (v >= s.minimum && v <= s.maximum)) << "register " << s.reg << ": " << v;
    }
}

TEST(SimRegisters, MalformedStateLinesAreSkipped) {
    const std::string path = testing::TempDir() + "sim_state_malformed.txt";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("# comment\n 3 = 77 \r\n4=256\n9876=1\n0=5\n2=\n6=1 2\n=\n99999999999999=1\n7=3", f);
    std::fclose(f);
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
