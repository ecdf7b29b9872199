// What goes over the link: replies, the port search, the line monitor, the traffic files, the jog commands.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "base/control_ids.h"
#include "link/line_monitor.h"
#include "link/link_updates.h"
#include "link/port_search.h"
#include "link/reply_parser.h"
#include "link/traffic_log.h"
#include "manual/jog_commands.h"
#include "test_files.h"

namespace {

TEST(Link, ParseReplyText) {
    // The four position boxes, or "-" without an echo; then the register and its value.
    const std::tuple<std::string, const char*, int, int32_t> rows[] = {
        {"XYZP=400/-120/0/1\r", "10.000 -3.000 0.000 1", 0, 0},
        {"\nXYZP=1/-1/41\r", "0.025 -0.025 1.025 0", 0, 0},
        {"XYZP=40/40/40/2XYZP=80/0/-40/3\r", "2.000 0.000 -1.000 3", 0, 0},  // the last echo counts
        {"XYZP=0x10/&h10/ 80/-2.5\r", "0.000 0.000 2.000 -2.5", 0, 0},       // positions are decimal only
        {"XYZP=0/0/0/2.9999999\r", "0.000 0.000 0.000 3", 0, 0},
        {"XYZP=1e400/-1e400/nan/1e400\r", "Inf -Inf 0.000 0", 0, 0},
        {"Register 40=0xFFFFFFFF\r", "-", 40, -1},
        {"Register 5", "-", 5, 0},
        {"Register 0=5\r", "-", 0, 0},
        {"Register 10000=5\r", "-", 0, 0},
        {"register 12=5\r", "-", 0, 0},
        // A LF left from the previous line shifts the text: only a blank separator still reads.
        {"\nRegister 12=7\r", "-", 12, 7},
        {"\nRegister:12=7\r", "-", 0, 0},
        {"Register 3=9 XYZP=40/0/0/1\r", "1.000 0.000 0.000 1", 3, 9}};
    for (const auto& [reply, position, reg, value] : rows) {
        const ReplyActions a = ParseReplyText(reply);
        const std::string shown = a.hasPosition ? a.posX + " " + a.posY + " " + a.posZ + " " + a.pen : "-";
        EXPECT_EQ(std::make_tuple(shown, a.registerNumber, a.registerValue, a.hasRegister),
                  std::make_tuple(position, reg, value, reg != 0))
            << reply;
    }
}

TEST(Link, PortSearchMonitorAndTrafficFiles) {
    std::vector<int> ports = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
    EXPECT_EQ(std::make_pair(CandidatePorts(0), CandidatePorts(1).size()), std::make_pair(ports, size_t{20}))
        << "none remembered, port 1";
    // The remembered port first and again in its place; listed ports above 19 follow, ascending and once each.
    ports.insert(ports.begin(), 23), ports.insert(ports.end(), {21, 23, 25, 28});
    EXPECT_EQ(CandidatePorts(23, {28, 3, 23, 21, 25, 21, 0}), ports);
    // Digits without a leading zero, at most nine.
    const std::pair<const char*, int> names[] = {
        {"COM21", 21}, {"COM025", 0},       {"COM26x", 0}, {"LPT27", 0}, {"COM999999999", 999999999},
        {"COM", 0},    {"COM2800000000", 0}};
    for (const auto& [name, number] : names) EXPECT_EQ(PortNumberFromName(name), number) << name;
    EXPECT_EQ(PortDeviceName(12), "\\\\.\\COM12");
    EXPECT_EQ(std::make_pair(SearchProgress(50), SearchProgress(256)), std::make_pair(51, 100));
    // The send box keeps twelve CRs, the LF of a dropped line staying; NUL shows as a blank.
    std::string box, text;
    for (int i = 1; i <= 30; ++i)
        text += "L" + std::to_string(i) + "\r\n", box = AppendToTxMonitor(box, "L" + std::to_string(i) + "\r\n");
    EXPECT_EQ(box, "\n" + text.substr(text.find("L19")));
    EXPECT_EQ(AppendToTxMonitor("", text), box);
    EXPECT_EQ(AppendToTxMonitor(box, "PD" + std::string(5000, '1') + "\r\n"), std::string(4094, '1') + "\r\n")
        << "a polyline of megabytes: its end only";
    EXPECT_EQ(AppendToRxMonitor("b" + std::string(498, 'a'), std::string("\0c", 2)), std::string(498, 'a') + " c");
    const std::pair<const char*, const char*> positions[] = {
        {" 400, 120", " 400, 120"}, {kMonitorPositionDefault, " 9, 9"},
        {"12", " 12, 0"},           {"5px,6px,7", " 5, 6"},
        {"links,", " 0, 0"},        {"99999999999,-99999999999", " 2147483647,-2147483648"}};
    for (const auto& [value, position] : positions) {
        int left = -1, top = -1;
        ParseMonitorPosition(value, left, top);
        EXPECT_EQ(FormatMonitorPosition(left, top), position) << value;
    }
    const std::string raw("XYZP=4\0\xFF", 8), path = ScratchPath("traffic.txt");  // blocks are not touched
    std::remove(path.c_str());
    ASSERT_TRUE(AppendTrafficBlock(path, -2147483647 - 1, "PU\r\n") && AppendTrafficBlock(path, 5025, raw));
    EXPECT_EQ(FileText(path), "##### -2147483648 #####\r\nPU\r\n##### 5025 #####\r\n" + raw);
    for (const std::string& p : {std::string(), path + "/rxprot.txt", testing::TempDir(), std::string("/dev/full")})
        EXPECT_FALSE(AppendTrafficBlock(p, 1, "x")) << p;  // no name, no folder, a folder, a full disk
    std::remove(path.c_str());
}

// The receive thread notes while the windows take: every piece is taken once and in order, none left without a message.
TEST(Link, EveryReceivedPieceReachesTheWindowsOnce) {
    LinkUpdates u;
    std::atomic<int> posted{0}, taken{0};
    std::atomic<bool> done{false};
    std::thread receiver([&] {
        for (int i = 0; i < 20000; ++i) {
            posted += NoteReceived(u, std::to_string(i) + ";");
            if (i % 7 == 0) posted += NoteRxCount(u);
            // The windows keep up, as the monitor's share of the text needs.
            while (i % 64 == 0 && taken < posted) std::this_thread::yield();
        }
        done = true;
    });
    std::string shown, sent;
    while (!done || taken < posted) {
        if (taken == posted) std::this_thread::yield();
        if (taken < posted) shown += TakeLinkUpdate(u).received, ++taken;
    }
    receiver.join();
    for (int i = 0; i < 20000; ++i) sent += std::to_string(i) + ";";
    EXPECT_EQ(shown, sent);
}

TEST(JogCommand, TheCountGoesInOtherControlsBuildNoneAndTheStepBoxIsChecked) {
    using namespace ids;
    // Every image's command is checked where it is clicked (tests/e2e); 1148, between JogXMinus and JogXPlus, is none.
    const std::pair<int, const char*> commands[] = {
        {JogXMinusYPlus, "PR-20,20\r\n"}, {JogZUp, "ZR-20\r\n"}, {0, ""}, {1148, ""}, {TxtSteps, ""}};
    for (const auto& [id, command] : commands) EXPECT_EQ(JogCommand(id, 20), command) << id;
    // The step box's text, rounded halves to even, is checked for 1 to 20000.
    const std::tuple<const char*, int64_t, bool> steps[] = {
        {"0.51", 1, true}, {"20000.5", 20000, true},   {" 35mm", 35, true},         {"0.5", 0, false},
        {"-5", -5, false}, {"20000.51", 20001, false}, {"1e300", INT64_MAX, false},
    };
    for (const auto& [text, count, valid] : steps)
        EXPECT_EQ(std::make_pair(JogStepsFromText(text), JogStepsValid(JogStepsFromText(text))),
                  std::make_pair(count, valid))
            << text;
}

}  // namespace
