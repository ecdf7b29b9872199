#include "link/line_monitor.h"

#include <gtest/gtest.h>

namespace {

std::string Lines(int from, int to) {
    std::string s;
    for (int i = from; i <= to; ++i) s += "L" + std::to_string(i) + "\r\n";
    return s;
}

}  // namespace

TEST(LineMonitorBoxes, SendBoxKeepsTwelveCRsAndTheLfOfTheRemovedOne) {
    std::string box;
    for (int i = 1; i <= 13; ++i) box = AppendToTxMonitor(box, "L" + std::to_string(i) + "\r\n");
    EXPECT_EQ(box, "\n" + Lines(2, 13));
    // The next line takes that LF along with the second line.
    EXPECT_EQ(AppendToTxMonitor(box, "L14\r\n"), "\n" + Lines(3, 14));
    // One text with many lines is cut back at once; text without CRs only grows the box.
    EXPECT_EQ(AppendToTxMonitor("", Lines(1, 30)), "\n" + Lines(19, 30));
    EXPECT_EQ(AppendToTxMonitor(std::string(12, '\r'), "PU;"), std::string(12, '\r') + "PU;");
}

TEST(LineMonitorBoxes, ReceiveBoxKeepsTheLast500Characters) {
    const std::string a(499, 'a');
    EXPECT_EQ(AppendToRxMonitor(a, "b"), a + "b");
    EXPECT_EQ(AppendToRxMonitor(a, "bc"), std::string(498, 'a') + "bc");
    const std::string big(700, 'x');
    EXPECT_EQ(AppendToRxMonitor("old", big + "end"), big.substr(203) + "end");
}

TEST(LineMonitorBoxes, NulBytesShowAsBlanks) {
    // A NUL would end the control's text and hide everything after it.
    EXPECT_EQ(AppendToRxMonitor("x", std::string("A\0B\r\n", 5)), "xA B\r\n");
    EXPECT_EQ(AppendToTxMonitor("", std::string("\0PU\r\n", 5)), " PU\r\n");
}

TEST(LineMonitorPosition, ReadsStoredHandWrittenAndBrokenValues) {
    struct Case {
        const char* value;
        int left, top;
    };
    for (const Case& c : {Case{" 400, 120", 400, 120}, Case{"10,20", 10, 20}, Case{kMonitorPositionDefault, 9, 9},
                          Case{"-5,-7", -5, -7}, Case{"", 0, 0}, Case{"links,oben", 0, 0}, Case{"12", 12, 0},
                          Case{"5px,6px,7", 5, 6}, Case{"99999999999,-99999999999", 2147483647, -2147483647 - 1}}) {
        int left = -1, top = -1;
        ParseMonitorPosition(c.value, left, top);
        EXPECT_EQ(left, c.left) << c.value;
        EXPECT_EQ(top, c.top) << c.value;
    }
}

TEST(LineMonitorPosition, WritesSpacedNumbersJoinedByAComma) {
    EXPECT_EQ(FormatMonitorPosition(233, 93), " 233, 93");
    EXPECT_EQ(FormatMonitorPosition(0, 0), " 0, 0");
    EXPECT_EQ(FormatMonitorPosition(-5, -7), "-5,-7");
    EXPECT_EQ(FormatMonitorPosition(-1920, 40), "-1920, 40");
}
