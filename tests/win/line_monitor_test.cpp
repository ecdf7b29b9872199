// The line monitor, the position it stores and the traffic files it switches.
#include "tests/win/win_test_util.h"

#include "link/line_monitor_win.h"
#include "link/traffic_log_win.h"

namespace {

std::pair<LONG, LONG> Corner(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return {r.left, r.top};
}

}  // namespace

TEST(LineMonitor, OneWindowThatOpensWhereItWasClosed) {
    DeleteFileA(ConfigFile().c_str());
    HWND w = OpenLineMonitor(nullptr);
    EXPECT_EQ(Corner(w), (std::pair<LONG, LONG>{9, 9}));
    EXPECT_EQ(Text(w), "Line-Monitor");
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ((std::pair<LONG, LONG>{client.right, client.bottom}), (std::pair<LONG, LONG>{231, 395}));
    ExpectChildren(w, {{0x470, "Static", "Daten zum Controller:", 2, 2, 108, 16}, {0x476, "Static", "Byte-Count:", 120, 2, 60, 16},
                       {0x444, "Edit", "", 180, 2, 48, 16}, {0x414, "Edit", "", 4, 18, 224, 156},
                       {0x471, "Static", "Vom Controller:", 2, 176, 108, 16}, {0x477, "Static", "Byte-Count:", 120, 176, 60, 16},
                       {0x442, "Edit", "", 180, 176, 48, 16}, {0x415, "Edit", "", 4, 192, 224, 180},
                       {0x417, "Button", "RX-TX-Protokoll", 4, 374, 218, 16}});
    EXPECT_EQ(BackOf(GetDlgItem(w, ids::LblRxByteCount)), RGB(196, 231, 143));
    // Quiet about focus: each notification of the box restarts the recording.
    EXPECT_EQ(GetWindowLongA(GetDlgItem(w, ids::ChkTrafficLog), GWL_STYLE) & (BS_TYPEMASK | BS_NOTIFY), BS_AUTOCHECKBOX);
    EXPECT_EQ(TipOf(GetDlgItem(w, ids::TxtMonitorTx)), "RS232-Datenstrom\r\nvom PC zum Controller");
    EXPECT_EQ(TipOf(GetDlgItem(w, ids::TxtRxCount)), "Anzahl der empf.\r\nZeichen (RXCNT)");

    SetWindowPos(w, nullptr, 400, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(OpenLineMonitor(nullptr), w) << "a second opening returns it where it is";
    SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(LineMonitorExists());
    // Windows keeps the leading blank in the file, Wine drops it.
    const std::string file = ReadFileBytes(ConfigFile());
    EXPECT_TRUE(file == "[pos]\r\nlmw= 400, 120\r\n" || file == "[pos]\r\nlmw=400, 120\r\n") << file;
    w = OpenLineMonitor(nullptr);
    EXPECT_EQ(Corner(w), (std::pair<LONG, LONG>{400, 120}));
    // Closed from its task-bar button while minimized: the corner it is restored to, not the
    // minimized one far off the screen.
    ShowWindow(w, SW_MINIMIZE);
    SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ReadConfigValue("pos", "lmw", "none", 98), "400, 120");
    DeleteFileA(ConfigFile().c_str());
}

namespace {

class TrafficLog : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SetCurrentDirectoryA((dir = TempFolder("kt-traffic")).c_str())); }
    // The user's click on the check box; returns the boxes it brought up.
    std::vector<Hand::Box> Tick(bool on) {
        Hand hand;
        CheckDlgButton(monitor, ids::ChkTrafficLog, on ? BST_CHECKED : BST_UNCHECKED);
        SetTrafficLogging(monitor);
        return hand.Finish().boxes;
    }
    std::string dir;
    HWND monitor = OpenLineMonitor(nullptr);
};

// The blocks of a traffic file: "##### <tick> #####\r\n", then what went over the line.
std::vector<std::pair<long long, std::string>> Blocks(const std::string& file) {
    std::vector<std::pair<long long, std::string>> blocks;
    for (size_t at = 0, end; at < file.size(); at = file.find("##### ", end + 8)) {
        end = file.find(" #####\r\n", at);
        if (file.compare(at, 6, "##### ") != 0 || end == std::string::npos) return {{0, "broken at " + std::to_string(at)}};
        blocks.push_back({std::stoll(file.substr(at + 6, end - at - 6)), file.substr(end + 8, file.find("##### ", end + 8) - end - 8)});
    }
    return blocks;
}

}  // namespace

TEST_F(TrafficLog, TickingStartsAfreshInTheCurrentDirectoryUntickingStops) {
    LogTx("PU\r\n");
    EXPECT_FALSE(Exists(dir + "\\txprot.txt")) << "off at the start";
    WriteFileBytes(dir + "\\txprot.txt", "old");
    const auto boxes = Tick(true);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title + "|" + boxes[0].text, "Protokollierung gestartet !|" + dir + "\\rxprot.txt\r\n" + dir + "\\txprot.txt");
    const long long before = static_cast<int32_t>(GetTickCount());
    LogTx("PU\r\n");
    LogRx("XYZP=400/");
    LogRx("800/0/1\r");
    const auto tx = Blocks(ReadFileBytes(dir + "\\txprot.txt")), rx = Blocks(ReadFileBytes(dir + "\\rxprot.txt"));
    ASSERT_EQ(tx.size(), 1u) << "the old recording is gone";
    EXPECT_EQ(tx[0].second, "PU\r\n");
    EXPECT_GE(tx[0].first, before);
    EXPECT_LE(tx[0].first, static_cast<int32_t>(GetTickCount()));
    ASSERT_EQ(rx.size(), 2u) << "a block per pass of the receive loop";
    EXPECT_EQ(rx[0].second + rx[1].second, "XYZP=400/800/0/1\r");
    EXPECT_TRUE(Tick(false).empty());
    LogTx("PD\r\n");
    EXPECT_EQ(Blocks(ReadFileBytes(dir + "\\txprot.txt")).size(), 1u);
    DestroyWindow(monitor);
    EXPECT_FALSE(IsDlgButtonChecked(OpenLineMonitor(nullptr), ids::ChkTrafficLog)) << "a new monitor starts unticked";
}

TEST_F(TrafficLog, ThePathsAreFixedAtTheStartAndNeverCut) {
    Tick(true);
    // A file dialog, say, moves the current directory: the files stay where they were.
    std::string deep = dir + "\\other";
    CreateDirectoryA(deep.c_str(), nullptr);
    SetCurrentDirectoryA(deep.c_str());
    LogTx("PA0,0\r\n");
    EXPECT_TRUE(Exists(dir + "\\txprot.txt"));
    EXPECT_FALSE(Exists(deep + "\\txprot.txt"));
    // 246 characters: "\rxprot.txt" makes 257, one more than a path may have. Cut to 256
    // it would name "rxprot.tx", a file that is not ours.
    while (deep.size() < 246) CreateDirectoryA((deep += "\\" + std::string(std::min<size_t>(40, 245 - deep.size()), 'd')).c_str(), nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
    WriteFileBytes(deep + "\\rxprot.tx", "keep");
    EXPECT_TRUE(Tick(true).empty());
    EXPECT_FALSE(IsDlgButtonChecked(monitor, ids::ChkTrafficLog));
    EXPECT_EQ(ReadFileBytes(deep + "\\rxprot.tx"), "keep");
}

TEST_F(TrafficLog, TheReceiveThreadLogsWhileTheUserSwitches) {
    Hand hand;
    std::atomic<bool> stop{false};
    std::atomic<int> logged{0};
    std::thread receiver([&] {
        for (; !stop; ++logged) LogRx("XYZP=1/2/3/4\r");
    });
    long long restart = 0;
    for (int i = 0; i < 13; ++i) {  // ends switched on
        restart = static_cast<int32_t>(GetTickCount());
        CheckDlgButton(monitor, ids::ChkTrafficLog, i % 2 == 0 ? BST_CHECKED : BST_UNCHECKED);
        SetTrafficLogging(monitor);
    }
    WaitUntil([&, mark = logged.load()] { return logged > mark + 20; });
    stop = true;
    receiver.join();
    EXPECT_EQ(hand.Finish().boxes.size(), 7u);
    // Whole blocks, all written after the last start.
    const auto blocks = Blocks(ReadFileBytes(dir + "\\rxprot.txt"));
    EXPECT_GE(blocks.size(), 20u);
    for (const auto& [tick, text] : blocks) {
        EXPECT_GE(tick, restart);
        ASSERT_EQ(text, "XYZP=1/2/3/4\r");
    }
}
