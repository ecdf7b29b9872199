#include "manual/jog_commands.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "base/control_ids.h"

namespace {

struct Row {
    int id;
    const char* with20;
    const char* with7;
};

// Written out from the command table, not derived from the code.
const Row kTable[] = {
    {ids::JogXPlus, "PR20,0\r\n", "PR7,0\r\n"},
    {ids::JogXMinus, "PR-20,0\r\n", "PR-7,0\r\n"},
    {ids::JogYPlus, "PR0,20\r\n", "PR0,7\r\n"},
    {ids::JogYMinus, "PR0,-20\r\n", "PR0,-7\r\n"},
    {ids::JogXPlusYPlus, "PR20,20\r\n", "PR7,7\r\n"},
    {ids::JogXMinusYPlus, "PR-20,20\r\n", "PR-7,7\r\n"},
    {ids::JogXMinusYMinus, "PR-20,-20\r\n", "PR-7,-7\r\n"},
    {ids::JogXPlusYMinus, "PR20,-20\r\n", "PR7,-7\r\n"},
    {ids::JogZUp, "ZR-20\r\n", "ZR-7\r\n"},
    {ids::JogZDown, "ZR20\r\n", "ZR7\r\n"},
    {ids::JogPenUp, "PU\r\n", "PU\r\n"},
    {ids::JogPenDown, "PD\r\n", "PD\r\n"},
    {ids::JogReference, "RE\r\n", "RE\r\n"},
    {ids::JogZeroPoint, "NU\r\n", "NU\r\n"},
};

TEST(JogCommand, EveryImageBuildsItsCommandByteForByte) {
    for (const Row& r : kTable) {
        EXPECT_EQ(JogCommand(r.id, 20), r.with20) << r.id;
        EXPECT_EQ(JogCommand(r.id, 7), r.with7) << r.id;
    }
    // The largest count, with no grouping or blank.
    EXPECT_EQ(JogCommand(ids::JogXMinusYMinus, 20000), "PR-20000,-20000\r\n");
    EXPECT_EQ(JogCommand(ids::JogZDown, 1), "ZR1\r\n");
}

TEST(JogCommand, OtherControlsBuildNothing) {
    // 1148 lies between JogXMinus and JogXPlus but is no image.
    for (int id : {0, -1, 1148, ids::TxtSteps, ids::TxtCommand, ids::BtnRun, ids::FrmManual, ids::BtnQueryPosition}) {
        EXPECT_EQ(JogCommand(id, 20), "") << id;
    }
}

// The step box's text, whatever was pasted into it, becomes a count that is checked.
TEST(JogSteps, OneToTwentyThousandAfterRoundingHalvesToEven) {
    EXPECT_EQ(JogStepsFromText("12.5"), 12);
    EXPECT_EQ(JogStepsFromText("13.5"), 14);
    EXPECT_EQ(JogStepsFromText(" 35mm"), 35);
    EXPECT_TRUE(JogStepsValid(1));
    EXPECT_TRUE(JogStepsValid(20000));
    EXPECT_TRUE(JogStepsValid(JogStepsFromText("20000.5")));
    EXPECT_TRUE(JogStepsValid(JogStepsFromText("0.51")));
    for (const char* text : {"", "abc", "0", "0.5", "-5", "20001", "20000.51", "1e300"})
        EXPECT_FALSE(JogStepsValid(JogStepsFromText(text))) << text;
    for (int64_t n : {std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max()})
        EXPECT_FALSE(JogStepsValid(n)) << n;
}

}  // namespace
