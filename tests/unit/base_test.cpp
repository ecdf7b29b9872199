// The ground floor: numbers, path texts, where the settings live, the register image, waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "base/numbers.h"
#include "base/paths.h"
#include "base/process_state.h"
#include "base/settings.h"
#include "base/ticks.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity(), kMaxD = std::numeric_limits<double>::max();
constexpr int64_t kMax64 = INT64_MAX, kMin64 = INT64_MIN;

TEST(Numbers, ReadRoundedAndFormatted) {
    const std::string z400(400, '0'), z2000(2000, '0');
    const std::pair<std::string, double> rows[] = {
        {"\t -3.5", -3.5},
        {"+7", 7},
        {"-.25", -0.25},
        {"400/-120\r", 400},
        {"- 5", 0},
        {"-0", 0},
        {"1.5E-2", 0.015},
        {"-2.5e+1", -25},
        {"2e+", 2},
        // Hex is a bit pattern: 32 bits when it fits, else 64; beyond 16 digits the last 16 count.
        {" &Hff;", 255},
        {"&h7FFFFFFF", 2147483647},
        {"&h80000000", -2147483648.0},
        {"&hG1", 0},
        {"&h100000000", 4294967296.0},
        {"&h1FFFFFFFFFFFFFFFE", -2},
        {"&h7FFFFFFFFFFFFFFF", 9223372036854775807.0},
        {"&x10", 0},
        {"-1e99999999999999999999999999", -kInf},
        {"-1e-99999999999999999999999999", 0},
        {"1.8e308", kInf},
        {"1.7976931348623157e308", kMaxD},
        {"4.9406564584124654e-324", 4.9406564584124654e-324},
        {std::string(1000, '9'), kInf},
        {"0." + z400 + "1e405", 1e4},
        {z2000 + z2000 + "42", 42},
        // Correct rounding: 2^53 + 1 ties to even; a non-zero digit far behind breaks the tie.
        {"9007199254740993." + z2000, 9007199254740992.0},
        {"9007199254740993." + z2000 + "1", 9007199254740994.0}};
    for (const auto& [text, value] : rows) {
        EXPECT_EQ(TextToNumber(text), value) << text;
        EXPECT_EQ(std::signbit(TextToNumber(text)), std::signbit(value)) << text;  // zero is +0
    }
    const std::pair<double, int64_t> rounded[] = {{12.5, 12},
                                                  {13.5, 14},
                                                  {-2.5, -2},
                                                  {2.5000001, 3},
                                                  {-7.6, -8},
                                                  {std::nan(""), 0},
                                                  {4503599627370495.5, 4503599627370496},
                                                  {9223372036854775808.0, kMax64},
                                                  {-9223372036854775808.0, kMin64},
                                                  {9223372036854774784.0, 9223372036854774784}};
    for (const auto& [v, r] : rounded) EXPECT_EQ(RoundToInteger(v), r) << v;
    // To 32 bits: rounded, then held at the ends of the range.
    for (const auto& [text, value] : {std::pair{"13.5", 14}, {"-1e10", INT32_MIN}, {"4294967295", INT32_MAX}})
        EXPECT_EQ(TextToInt32(text), value) << text;
    EXPECT_EQ(NumberTextSpaced(3) + NumberTextSpaced(0) + NumberTextSpaced(-5), " 3 0-5") << "a blank for no sign";
    // Formatted: half away from zero on the written digits, though the doubles lie a little below them; no sign on zero.
    const std::tuple<double, const char*, std::string> formats[] = {
        {-0.0, "0.000", "0.000"},
        {-0.00049999, "0.000", "0.000"},
        {-1e-300, "0.00", "0.00"},
        {-0.0005, "0.000", "-0.001"},
        {2.675, "0.00", "2.68"},
        {-999.995, "0.00", "-1000.00"},
        {0.4, "", "0"},
        {5, "00.0", "05.0"},
        {0.25, ".00", ".25"},
        {std::nan(""), "0.0", "NaN"},
        {1e-5, "0.0000000", "0.0000100"},
        {-kInf, "0", "-Inf"},
        {-kMaxD, "0", "-17976931348623157" + std::string(292, '0')}};
    for (const auto& [v, mask, text] : formats) EXPECT_EQ(FormatNumber(v, mask), text) << v << " " << mask;
}

TEST(Paths, PathTextsAndWhereTheSettingsLive) {
    // Backslash pairs collapse left to right, but a share's leading pair; ".cfg" replaces the last four characters.
    EXPECT_EQ(CollapseDoubleBackslashes("C:\\\\\\x"), "C:\\\\x");
    EXPECT_EQ(CollapseDoubleBackslashes("\\\\srv\\\\s"), "\\\\srv\\s");
    EXPECT_EQ(FileNamePart("C:b", "\\:"), "b");
    EXPECT_EQ(ConfigPathForProgram("abc"), "abc.cfg");
    EXPECT_EQ(ConfigPathForProgram("abcd"), ".cfg");
    EXPECT_EQ(RegistryKeyName("D:\\a.b\\my.tool.v2.exe", "Ini"), "my.tool.v2\\Ini");
    EXPECT_EQ(ProgramBaseName("C:/x/.cfg"), ".cfg");
}

TEST(ProcessState, RegisterImageStartsUnknown) {
    AllocateRegisterImage();
    App.RegisterImage[12].store(31);
    AllocateRegisterImage();
    for (int r : {0, 12, kRegisterImageSize - 1}) EXPECT_EQ(App.RegisterImage[r].load(), -1) << r;
}

// A wait serves the windows within 25 ms, looks as often, sleeps after its spin time: clock steps of 1 or 15.6 ms.
TEST(Ticks, WaitsServeTheWindowsAndSleepWhateverTheClocksStep) {
    const std::pair<const char*, WaitStyle> styles[] = {
        {"line", kWaitForLine}, {"write", kWaitForWrite}, {"board", kWaitForBoard},
        {"user", kWaitForUser}, {"drawing", kNeverSleep},
    };
    for (const double step : {1.0, 15.625})
        for (const uint32_t origin : {0u, 0xFFFFFF00u})
            for (const auto& [name, style] : styles) {
                const auto clock = [&](double t) {
                    return origin + static_cast<uint32_t>(std::floor(t / step) * step);
                };
                const uint32_t start = clock(0);
                uint32_t lastLook = start;
                bool inputArrived = false;
                // Real milliseconds: a pass costs 0.01, serving 0.05 more; a sleep ends at the next arrival.
                double t = 0, unserved = -1, next = 4.3, looked = 0, longestDelay = 0, longestLookGap = 0,
                       firstSleep = -1;
                int passes = 0;
                const auto look = [&] {
                    longestLookGap = std::max(longestLookGap, t - looked);
                    looked = t;
                    lastLook = clock(t);
                };
                for (; t < 1000; ++passes) {
                    const WaitPass pass = PlanWaitPass(clock(t), start, lastLook, inputArrived, style);
                    t += 0.01;
                    for (; next <= t && next < 500; next += 4.3) unserved = unserved < 0 ? next : unserved;
                    if (pass.serve) {
                        longestDelay = std::max(longestDelay, unserved < 0 ? 0 : t - unserved);
                        unserved = -1;
                        look();
                        inputArrived = false;
                        t += 0.05;
                    }
                    if (pass.sleepMs && firstSleep < 0) firstSleep = t;
                    if (!pass.sleepMs) continue;
                    // Input already waiting ends the sleep at once.
                    inputArrived = unserved >= 0 || (next < 500 && next < t + pass.sleepMs);
                    t = unserved >= 0 ? t : inputArrived ? next : t + pass.sleepMs;
                    if (!inputArrived) look();
                }
                SCOPED_TRACE(std::string(name) + " with " + std::to_string(step) + " ms steps from " +
                             std::to_string(origin));
                EXPECT_LE(std::max(longestDelay, longestLookGap), 25.0);
                const bool sleeps = style.sleepMs > 0;
                EXPECT_TRUE(sleeps ? firstSleep >= style.spinMs && firstSleep <= style.spinMs + step + 1
                                   : firstSleep < 0)
                    << "first slept at " << firstSleep;
                // Once it sleeps, a pass for each sleep and for each arrival woken, and one serving it.
                EXPECT_LE(passes, sleeps ? firstSleep / 0.01 + 2 * 117 + 1000 / style.sleepMs + 2 : INT32_MAX);
            }
}

}  // namespace
