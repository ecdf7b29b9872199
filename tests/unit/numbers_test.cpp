#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(TextToNumber, BlanksSignsAndDecimalPoint) {
    EXPECT_EQ(TextToNumber("12"), 12.0);
    EXPECT_EQ(TextToNumber("   12"), 12.0);
    EXPECT_EQ(TextToNumber("\t -3.5"), -3.5);
    EXPECT_EQ(TextToNumber("+7"), 7.0);
    EXPECT_EQ(TextToNumber(".5"), 0.5);
    EXPECT_EQ(TextToNumber("-.25"), -0.25);
    EXPECT_EQ(TextToNumber("5."), 5.0);
    EXPECT_EQ(TextToNumber("1.2.3"), 1.2);
    EXPECT_EQ(TextToNumber("400/-120/0/1\r"), 400.0);
    EXPECT_EQ(TextToNumber("-120/0"), -120.0);
    EXPECT_EQ(TextToNumber("0012"), 12.0);
    // Only leading blanks are skipped, and a sign must be followed by the number itself.
    EXPECT_EQ(TextToNumber("- 5"), 0.0);
    EXPECT_EQ(TextToNumber("--5"), 0.0);
    EXPECT_EQ(TextToNumber("1 2"), 1.0);
    // The decimal point is ".", never the German comma.
    EXPECT_EQ(TextToNumber("2,5"), 2.0);
}

TEST(TextToNumber, Exponent) {
    EXPECT_EQ(TextToNumber("1e3"), 1000.0);
    EXPECT_EQ(TextToNumber("1.5E-2"), 0.015);
    EXPECT_EQ(TextToNumber("-2.5e+1"), -25.0);
    EXPECT_EQ(TextToNumber("3e+2x"), 300.0);
    // An exponent marker without digits is not part of the number.
    EXPECT_EQ(TextToNumber("2e"), 2.0);
    EXPECT_EQ(TextToNumber("2e+"), 2.0);
    EXPECT_EQ(TextToNumber("2ex"), 2.0);
    EXPECT_EQ(TextToNumber("2d3"), 2.0);
    EXPECT_EQ(TextToNumber("e5"), 0.0);
}

TEST(TextToNumber, Hex) {
    EXPECT_EQ(TextToNumber("&h1F"), 31.0);
    EXPECT_EQ(TextToNumber("&H1f"), 31.0);
    EXPECT_EQ(TextToNumber("  &hff;"), 255.0);
    EXPECT_EQ(TextToNumber("&h10xyz"), 16.0);
    EXPECT_EQ(TextToNumber("&h0000000000FF"), 255.0);
    // Up to 32 bits: a 32-bit pattern, as a register store needs it.
    EXPECT_EQ(TextToNumber("&h7FFFFFFF"), 2147483647.0);
    EXPECT_EQ(TextToNumber("&h80000000"), -2147483648.0);
    EXPECT_EQ(TextToNumber("&hFFFFFFFF"), -1.0);
    // Wider: a 64-bit pattern; beyond 16 digits the last 16 count.
    EXPECT_EQ(TextToNumber("&h100000000"), 4294967296.0);
    EXPECT_EQ(TextToNumber("&hFFFFFFFFFFFFFFFE"), -2.0);
    EXPECT_EQ(TextToNumber("&h1FFFFFFFFFFFFFFFF"), -1.0);
    EXPECT_EQ(TextToNumber("&h123456789ABCDEF0123"), static_cast<double>(0x456789ABCDEF0123LL));
    // No digits, or a sign in front: no number.
    EXPECT_EQ(TextToNumber("&h"), 0.0);
    EXPECT_EQ(TextToNumber("&hG1"), 0.0);
    EXPECT_EQ(TextToNumber("-&h10"), 0.0);
    EXPECT_EQ(TextToNumber("&"), 0.0);
    EXPECT_EQ(TextToNumber("&x10"), 0.0);
}

TEST(TextToNumber, NoNumberGivesZero) {
    EXPECT_EQ(TextToNumber(""), 0.0);
    EXPECT_EQ(TextToNumber("   "), 0.0);
    EXPECT_EQ(TextToNumber("abc"), 0.0);
    EXPECT_EQ(TextToNumber("x12"), 0.0);
    EXPECT_EQ(TextToNumber("-"), 0.0);
    EXPECT_EQ(TextToNumber("."), 0.0);
    EXPECT_EQ(TextToNumber("+.e5"), 0.0);
    EXPECT_EQ(TextToNumber(std::string("\0" "5", 2)), 0.0);
    // Zero is +0, so that nothing downstream shows "-0".
    EXPECT_FALSE(std::signbit(TextToNumber("-0")));
    EXPECT_FALSE(std::signbit(TextToNumber("-0.000e7")));
    EXPECT_FALSE(std::signbit(TextToNumber("-1e-999")));
}

TEST(TextToNumber, ExtremeMagnitudesAndLongDigitRuns) {
    EXPECT_EQ(TextToNumber("1e400"), kInf);
    EXPECT_EQ(TextToNumber("-1e400"), -kInf);
    EXPECT_EQ(TextToNumber("1e99999999999999999999999999"), kInf);
    EXPECT_EQ(TextToNumber("1e-400"), 0.0);
    EXPECT_EQ(TextToNumber("1e-99999999999999999999999999"), 0.0);
    EXPECT_EQ(TextToNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_EQ(TextToNumber("1.8e308"), kInf);
    EXPECT_EQ(TextToNumber("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(TextToNumber(std::string(1000, '9')), kInf);
    EXPECT_EQ(TextToNumber("1" + std::string(299, '0')), 1e299);
    EXPECT_EQ(TextToNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(TextToNumber("0." + std::string(400, '0') + "1e405"), 1e4);
    EXPECT_EQ(TextToNumber(std::string(5000, '0') + "42"), 42.0);
    // Correct rounding: 2^53 + 1 is a tie between 2^53 and 2^53 + 2 and goes to even; a
    // non-zero digit a thousand places later breaks the tie upwards.
    EXPECT_EQ(TextToNumber("9007199254740993"), 9007199254740992.0);
    EXPECT_EQ(TextToNumber("9007199254740993." + std::string(1000, '0') + "1"), 9007199254740994.0);
    EXPECT_EQ(TextToNumber("0.1"), 0.1);
    EXPECT_EQ(TextToNumber("0.1" + std::string(2000, '0') + "1"), 0.1);
}

TEST(RoundToInteger, TiesToEven) {
    EXPECT_EQ(RoundToInteger(12.5), 12);
    EXPECT_EQ(RoundToInteger(13.5), 14);
    EXPECT_EQ(RoundToInteger(-2.5), -2);
    EXPECT_EQ(RoundToInteger(-3.5), -4);
    EXPECT_EQ(RoundToInteger(0.5), 0);
    EXPECT_EQ(RoundToInteger(-0.5), 0);
    EXPECT_EQ(RoundToInteger(1.5), 2);
    EXPECT_EQ(RoundToInteger(2.4999999), 2);
    EXPECT_EQ(RoundToInteger(2.5000001), 3);
    EXPECT_EQ(RoundToInteger(-7.6), -8);
    EXPECT_EQ(RoundToInteger(4503599627370495.5), 4503599627370496);  // 2^52 - 0.5
}

TEST(RoundToInteger, NanAndSaturation) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    EXPECT_EQ(RoundToInteger(std::nan("")), 0);
    EXPECT_EQ(RoundToInteger(kInf), kMax);
    EXPECT_EQ(RoundToInteger(-kInf), kMin);
    EXPECT_EQ(RoundToInteger(1e19), kMax);
    EXPECT_EQ(RoundToInteger(-1e19), kMin);
    EXPECT_EQ(RoundToInteger(9223372036854775808.0), kMax);  // 2^63
    EXPECT_EQ(RoundToInteger(-9223372036854775808.0), kMin);
    EXPECT_EQ(RoundToInteger(9223372036854774784.0), 9223372036854774784);  // largest below 2^63
}

TEST(TextToInt32, RoundsTiesToEvenAndSaturates) {
    EXPECT_EQ(TextToInt32("12.5"), 12);
    EXPECT_EQ(TextToInt32("13.5"), 14);
    EXPECT_EQ(TextToInt32("-2.5"), -2);
    EXPECT_EQ(TextToInt32(" 233"), 233);
    EXPECT_EQ(TextToInt32("200\r"), 200);
    EXPECT_EQ(TextToInt32("&h1f\r"), 31);
    EXPECT_EQ(TextToInt32("1e10"), INT32_MAX);
    EXPECT_EQ(TextToInt32("-1e10"), INT32_MIN);
    EXPECT_EQ(TextToInt32("4294967295"), INT32_MAX);
    EXPECT_EQ(TextToInt32("1e400"), INT32_MAX);
    EXPECT_EQ(TextToInt32("&h100000000"), INT32_MAX);
    // Eight hex digits keep their 32 bits.
    EXPECT_EQ(TextToInt32("&hFFFFFFFF"), -1);
    EXPECT_EQ(TextToInt32("&h80000000"), INT32_MIN);
    EXPECT_EQ(TextToInt32("nothing"), 0);
}

TEST(NumberText, PlainAndSpaced) {
    EXPECT_EQ(NumberText(12), "12");
    EXPECT_EQ(NumberText(-5), "-5");
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(NumberText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(NumberTextSpaced(3), " 3");
    EXPECT_EQ(NumberTextSpaced(0), " 0");
    EXPECT_EQ(NumberTextSpaced(-5), "-5");
    EXPECT_EQ(NumberTextSpaced(120) + "," + NumberTextSpaced(80), " 120, 80");
}

TEST(FormatNumber, PositionMask) {
    EXPECT_EQ(FormatNumber(10, "0.000"), "10.000");
    EXPECT_EQ(FormatNumber(-3, "0.000"), "-3.000");
    EXPECT_EQ(FormatNumber(400 / 40.0, "0.000"), "10.000");
    EXPECT_EQ(FormatNumber(-120 / 40.0, "0.000"), "-3.000");
    EXPECT_EQ(FormatNumber(1 / 40.0, "0.000"), "0.025");
    EXPECT_EQ(FormatNumber(-107 / 40.0, "0.000"), "-2.675");
    EXPECT_EQ(FormatNumber(0.5, "0.000"), "0.500");
    EXPECT_EQ(FormatNumber(123456.789, "0.000"), "123456.789");
}

TEST(FormatNumber, NoNegativeZero) {
    EXPECT_EQ(FormatNumber(0.0, "0.000"), "0.000");
    EXPECT_EQ(FormatNumber(-0.0, "0.000"), "0.000");
    EXPECT_EQ(FormatNumber(0.0004, "0.000"), "0.000");
    EXPECT_EQ(FormatNumber(-0.0004, "0.000"), "0.000");
    EXPECT_EQ(FormatNumber(-0.00049999, "0.000"), "0.000");
    EXPECT_EQ(FormatNumber(-1e-300, "0.000"), "0.000");
    EXPECT_EQ(FormatNumber(-0.004, "0.00"), "0.00");
}

TEST(FormatNumber, RoundsHalfAwayFromZeroOnTheWrittenDigits) {
    EXPECT_EQ(FormatNumber(100, "0.00"), "100.00");
    EXPECT_EQ(FormatNumber(0.0005, "0.000"), "0.001");
    EXPECT_EQ(FormatNumber(-0.0005, "0.000"), "-0.001");
    // Each of these doubles lies a little below the written value.
    EXPECT_EQ(FormatNumber(2.675, "0.00"), "2.68");
    EXPECT_EQ(FormatNumber(-2.675, "0.00"), "-2.68");
    EXPECT_EQ(FormatNumber(1.005, "0.00"), "1.01");
    EXPECT_EQ(FormatNumber(1.0005, "0.000"), "1.001");
    EXPECT_EQ(FormatNumber(0.125, "0.00"), "0.13");
    EXPECT_EQ(FormatNumber(0.0125, "0.00"), "0.01");
    EXPECT_EQ(FormatNumber(0.0125, "0.000"), "0.013");
    EXPECT_EQ(FormatNumber(0.1 + 0.2, "0.00"), "0.30");
    // Carries through every digit.
    EXPECT_EQ(FormatNumber(9.9996, "0.000"), "10.000");
    EXPECT_EQ(FormatNumber(-999.995, "0.00"), "-1000.00");
    EXPECT_EQ(FormatNumber(0.9995, "0.000"), "1.000");
    EXPECT_EQ(FormatNumber(0.6, "0"), "1");
    EXPECT_EQ(FormatNumber(12.5, "0"), "13");
}

TEST(FormatNumber, OtherMasksAndMagnitudes) {
    EXPECT_EQ(FormatNumber(5, "00.0"), "05.0");
    EXPECT_EQ(FormatNumber(1234.5, "0"), "1235");
    EXPECT_EQ(FormatNumber(0.25, ".00"), ".25");
    EXPECT_EQ(FormatNumber(12345678.9, "0.00"), "12345678.90");
    EXPECT_EQ(FormatNumber(1e20, "0.000"), "100000000000000000000.000");
    EXPECT_EQ(FormatNumber(1e-5, "0.0000000"), "0.0000100");
    const std::string huge = FormatNumber(-std::numeric_limits<double>::max(), "0.000");
    EXPECT_EQ(huge.size(), 1u + 309u + 4u);
    EXPECT_EQ(huge.substr(0, 7), "-179769");
    EXPECT_EQ(FormatNumber(std::numeric_limits<double>::denorm_min(), "0.00"), "0.00");
}

TEST(FormatNumber, NotANumberAndInfinity) {
    EXPECT_EQ(FormatNumber(std::nan(""), "0.000"), "NaN");
    EXPECT_EQ(FormatNumber(kInf, "0.000"), "Inf");
    EXPECT_EQ(FormatNumber(-kInf, "0.00"), "-Inf");
}

}  // namespace
