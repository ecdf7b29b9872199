#include <gtest/gtest.h>

#include "link/port_search.h"
#include "link/reply_parser.h"

TEST(ParseReply, PositionEchoInMillimetres) {
    const ReplyActions a = ParseReplyText("XYZP=400/-120/0/1\r");
    ASSERT_TRUE(a.hasPosition);
    EXPECT_EQ(a.posX, "10.000");
    EXPECT_EQ(a.posY, "-3.000");
    EXPECT_EQ(a.posZ, "0.000");
    EXPECT_EQ(a.pen, "1");
    EXPECT_FALSE(a.hasRegister);
    // Odd units and a missing field.
    const ReplyActions b = ParseReplyText("\nXYZP=1/-1/41\r");
    EXPECT_EQ(b.posX, "0.025");
    EXPECT_EQ(b.posY, "-0.025");
    EXPECT_EQ(b.posZ, "1.025");
    EXPECT_EQ(b.pen, "0");
}

TEST(ParseReply, TheLastEchoBeforeTheCrCounts) {
    const ReplyActions a = ParseReplyText("XYZP=40/40/40/2XYZP=80/0/-40/3\r");
    EXPECT_EQ(a.posX, "2.000");
    EXPECT_EQ(a.posZ, "-1.000");
    EXPECT_EQ(a.pen, "3");
}

TEST(ParseReply, PositionsAreDecimalOnly) {
    const ReplyActions a = ParseReplyText("XYZP=0x10/&h10/ 80/1\r");
    EXPECT_EQ(a.posX, "0.000");
    EXPECT_EQ(a.posY, "0.000");
    EXPECT_EQ(a.posZ, "2.000");
}

TEST(ParseReply, RegisterValuesDecimalAndHex) {
    ReplyActions a = ParseReplyText("Register 12=0x1f\r");
    ASSERT_TRUE(a.hasRegister);
    EXPECT_EQ(a.registerNumber, 12);
    EXPECT_EQ(a.registerValue, 31);
    a = ParseReplyText("Register 12=200\r");
    EXPECT_EQ(a.registerValue, 200);
    a = ParseReplyText("Register 7=0XFF\r\n");
    EXPECT_EQ(a.registerValue, 255);
    // Eight hex digits keep their 32 bits.
    a = ParseReplyText("Register 40=0xFFFFFFFF\r");
    EXPECT_EQ(a.registerValue, -1);
}

TEST(ParseReply, RegisterNumbersOutsideOneTo9999AreIgnored) {
    EXPECT_FALSE(ParseReplyText("Register 0=5\r").hasRegister);
    EXPECT_FALSE(ParseReplyText("Register 10000=5\r").hasRegister);
    const ReplyActions a = ParseReplyText("Register 9999=5\r");
    ASSERT_TRUE(a.hasRegister);
    EXPECT_EQ(a.registerNumber, 9999);
    EXPECT_FALSE(ParseReplyText("register 12=5\r").hasRegister);
}

// A LF left from the previous line shifts the text by one: with a blank as separator the
// number still reads, any other separator makes it 0 and the reply is ignored.
TEST(ParseReply, LeadingLineFeedShiftsTheNumber) {
    const ReplyActions blank = ParseReplyText("\nRegister 12=7\r");
    ASSERT_TRUE(blank.hasRegister);
    EXPECT_EQ(blank.registerNumber, 12);
    EXPECT_EQ(blank.registerValue, 7);
    EXPECT_FALSE(ParseReplyText("\nRegister:12=7\r").hasRegister);
}

TEST(ParseReply, BothKeywordsInOneReply) {
    const ReplyActions a = ParseReplyText("Register 3=9 XYZP=40/0/0/1\r");
    EXPECT_TRUE(a.hasPosition);
    EXPECT_EQ(a.posX, "1.000");
    ASSERT_TRUE(a.hasRegister);
    EXPECT_EQ(a.registerNumber, 3);
    EXPECT_EQ(a.registerValue, 9);
}

TEST(ParseReply, GarbageIsHarmless) {
    for (const char* s : {"", "\r", "Register", "Register\r", "XYZP=", "XYZP=////////\r", "Register 99999999999999=1\r",
                          "XYZP=1e400/-1e400/nan/1e300\r"}) {
        const ReplyActions a = ParseReplyText(s);
        EXPECT_FALSE(a.hasRegister) << s;
    }
    const ReplyActions huge = ParseReplyText("XYZP=1e400/2/3/4\r");
    EXPECT_FALSE(huge.posX.empty());
}

TEST(PortSearch, CandidateOrder) {
    std::vector<int> first;
    for (int n = 1; n <= 19; ++n) first.push_back(n);
    EXPECT_EQ(CandidatePorts(0), first);
    const std::vector<int> seven = CandidatePorts(7);
    ASSERT_EQ(seven.size(), 20u);
    EXPECT_EQ(std::vector<int>(seven.begin(), seven.begin() + 4), (std::vector<int>{7, 1, 2, 3}));
    const std::vector<int> big = CandidatePorts(25);
    EXPECT_EQ(big.front(), 25);
    EXPECT_EQ(big[1], 1);
    EXPECT_EQ(big.back(), 19);
    EXPECT_EQ(CandidatePorts(-3), first);
}

TEST(PortSearch, NamesAndProgress) {
    EXPECT_EQ(PortDeviceName(12), "\\\\.\\COM12");
    EXPECT_EQ(SearchProgress(1), 1);
    EXPECT_EQ(SearchProgress(19), 19);
    EXPECT_EQ(SearchProgress(50), 51);
    EXPECT_EQ(SearchProgress(99), 100);
}
