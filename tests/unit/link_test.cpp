// What goes over the link: replies, the port search, the line monitor, the traffic files, the jog commands.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <fstream>

#include "base/control_ids.h"
#include "link/line_monitor.h"
#include "link/port_search.h"
#include "link/reply_parser.h"
#include "link/traffic_log.h"
#include "manual/jog_commands.h"

namespace {

TEST(Link, ParseReplyText) {
    // The four position boxes, or "-" without an echo; then the register and its value.
    const std::pair<std::string, std::string> rows[] = {
        {"XYZP=400/-120/0/1\r", "10.000 -3.000 0.000 1 0 0"},
        {"\nXYZP=1/-1/41\r", "0.025 -0.025 1.025 0 0 0"},
        {"XYZP=40/40/40/2XYZP=80/0/-40/3\r", "2.000 0.000 -1.000 3 0 0"},  // the last echo counts
        {"XYZP=0x10/&h10/ 80/-2.5\r", "0.000 0.000 2.000 -2.5 0 0"},       // positions are decimal only
        {"XYZP=0/0/0/2.9999999\r", "0.000 0.000 0.000 3 0 0"},
        {"XYZP=1e400/-1e400/nan/1e400\r", "Inf -Inf 0.000 0 0 0"},
        {"Register 12=0x1f\r", "- 12 31"},
        {"Register 40=0xFFFFFFFF\r", "- 40 -1"},
        {"Register 9999=5\r", "- 9999 5"},
        {"Register 5", "- 5 0"},
        {"Register 0=5\r", "- 0 0"},
        {"Register 10000=5\r", "- 0 0"},
        {"register 12=5\r", "- 0 0"},
        {"Register\r", "- 0 0"},
        // A LF left from the previous line shifts the text: only a blank separator still reads.
        {"\nRegister 12=7\r", "- 12 7"},
        {"\nRegister:12=7\r", "- 0 0"},
        {"Register 3=9 XYZP=40/0/0/1\r", "1.000 0.000 0.000 1 3 9"}};
    for (const auto& [reply, actions] : rows) {
        const ReplyActions a = ParseReplyText(reply);
        EXPECT_EQ((a.hasPosition ? a.posX + " " + a.posY + " " + a.posZ + " " + a.pen : "-") + " " +
                      std::to_string(a.registerNumber) + " " + std::to_string(a.registerValue),
                  actions)
            << reply;
        EXPECT_EQ(a.hasRegister, a.registerNumber != 0) << reply;
    }
}

TEST(Link, PortSearchMonitorAndTrafficFiles) {
    std::vector<int> ports = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    EXPECT_EQ(CandidatePorts(0), ports);
    // The remembered port first and again in its place; listed ports above 19 follow, ascending and once each.
    ports.insert(ports.begin(), 23), ports.insert(ports.end(), {21, 23});
    EXPECT_EQ(CandidatePorts(
                  23, {23, 3, 21, 23, PortNumberFromName("COM21"), PortNumberFromName("COM025"),
                       PortNumberFromName("COM26x"), PortNumberFromName("LPT27"), PortNumberFromName("COM2800000000")}),
              ports);
    EXPECT_EQ(PortDeviceName(12) + " " + std::to_string(SearchProgress(50)) + " " + std::to_string(SearchProgress(256)),
              "\\\\.\\COM12 51 100");
    // The send box keeps twelve CRs, the LF of a dropped line staying; NUL shows as a blank.
    std::string box, text;
    for (int i = 1; i <= 30; ++i)
        text += "L" + std::to_string(i) + "\r\n", box = AppendToTxMonitor(box, "L" + std::to_string(i) + "\r\n");
    EXPECT_EQ(box, "\n" + text.substr(text.find("L19")));
    EXPECT_EQ(AppendToTxMonitor("", text), box);
    EXPECT_EQ(AppendToRxMonitor("b" + std::string(498, 'a'), std::string("\0c", 2)), std::string(498, 'a') + " c");
    for (const auto& [value, position] : std::initializer_list<std::pair<const char*, const char*>>{
             {" 400, 120", " 400, 120"},
             {kMonitorPositionDefault, " 9, 9"},
             {"-5,-7", "-5,-7"},
             {"12", " 12, 0"},
             {"5px,6px,7", " 5, 6"},
             {"links,", " 0, 0"},
             {"99999999999,-99999999999", " 2147483647,-2147483648"}}) {
        int left = -1, top = -1;
        ParseMonitorPosition(value, left, top);
        EXPECT_EQ(FormatMonitorPosition(left, top), position) << value;
    }
    const std::string raw("XYZP=4\0\xFF", 8),
        path = testing::TempDir() + "kt" + std::to_string(getpid()) + "_traffic.txt";  // blocks are not touched
    std::remove(path.c_str());
    ASSERT_TRUE(AppendTrafficBlock(path, -2147483647 - 1, "PU\r\n") && AppendTrafficBlock(path, 5025, raw));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "##### -2147483648 #####\r\nPU\r\n##### 5025 #####\r\n" + raw);
    for (const std::string& p : {std::string(), path + "/rxprot.txt", testing::TempDir(), std::string("/dev/full")})
        EXPECT_FALSE(AppendTrafficBlock(p, 1, "x")) << p;  // no name, no folder, a folder, a full disk
    std::remove(path.c_str());
}

TEST(JogCommand, EveryImageBuildsItsCommandByteForByte) {
    using namespace ids;
    std::string all;  // 1148 lies between JogXMinus and JogXPlus but is no image
    for (int id :
         {JogXPlus, JogXMinus, JogYPlus, JogYMinus, JogXPlusYPlus, JogXMinusYPlus, JogXMinusYMinus, JogXPlusYMinus,
          JogZUp, JogZDown, JogPenUp, JogPenDown, JogReference, JogZeroPoint, 0, 1148, TxtSteps})
        all += JogCommand(id, 20) + "|";
    EXPECT_EQ(all,
              "PR20,0\r\n|PR-20,0\r\n|PR0,20\r\n|PR0,-20\r\n|PR20,20\r\n|PR-20,20\r\n|PR-20,-20\r\n|PR20,-20\r\n|"
              "ZR-20\r\n|ZR20\r\n|PU\r\n|PD\r\n|RE\r\n|NU\r\n||||");
    // The step box's text, rounded halves to even, is checked for 1 to 20000.
    std::string valid;
    for (const char* text : {"0.51", "20000.5", " 35mm", "0.5", "-5", "20000.51", "1e300"})
        valid += std::to_string(JogStepsFromText(text)) + (JogStepsValid(JogStepsFromText(text)) ? "+ " : "- ");
    EXPECT_EQ(valid, "1+ 20000+ 35+ 0- -5- 20001- 9223372036854775807- ");
}

}  // namespace
