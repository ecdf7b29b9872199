#include "link/traffic_log_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "base/control_ids.h"
#include "base/settings_win.h"
#include "link/line_monitor_win.h"
#include "tests/win/win_test_util.h"

namespace {

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string MakeDirectory(const std::string& path) {
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

// Presses OK on every message box with our title, from a thread of its own (the
// user-interface thread is inside the box), and keeps what the last one showed.
class BoxDismisser {
public:
    BoxDismisser() : worker([this] { Run(); }) {}
    ~BoxDismisser() {
        stop = true;
        worker.join();
    }
    std::atomic<int> count{0};
    std::string text;  // read after the box has gone
    bool onlyOk = true, icon = false, topmost = false;

private:
    void Run() {
        while (!stop) {
            HWND box = FindWindowA("#32770", "Protokollierung gestartet !");
            if (box && IsWindowVisible(box)) {  // visible: its texts are in place
                char buf[1024] = {};
                GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf);
                text = buf;
                topmost = GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST;
                for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                    if (!IsWindowVisible(c)) continue;
                    if (ClassOf(c) == "Button" && GetDlgCtrlID(c) != IDOK) onlyOk = false;
                    // An icon control may be there without a picture.
                    if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && ClassOf(c) == "Static" &&
                        SendMessageA(c, STM_GETICON, 0, 0))
                        icon = true;
                }
                ++count;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                while (!stop && IsWindow(box)) Sleep(5);
            }
            Sleep(5);
        }
    }
    std::atomic<bool> stop{false};
    std::thread worker;  // last: starts when the rest is ready
};

class TrafficLogWin : public testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, oldDir);
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        dir = MakeDirectory(std::string(tmp) + "kt-traffic");
        ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
        monitor = OpenLineMonitor(nullptr);
    }
    void TearDown() override {
        Switch(false);
        DestroyWindow(monitor);
        SetCurrentDirectoryA(oldDir);
        DeleteFileA(Rx().c_str());
        DeleteFileA(Tx().c_str());
        RemoveDirectoryA(dir.c_str());
        DeleteFileA(ConfigFile().c_str());
    }
    // What the user's click on the check box amounts to.
    void Switch(bool on) {
        CheckDlgButton(monitor, ids::ChkTrafficLog, on ? BST_CHECKED : BST_UNCHECKED);
        SetTrafficLogging(monitor);
    }
    bool Ticked() { return IsDlgButtonChecked(monitor, ids::ChkTrafficLog) == BST_CHECKED; }
    std::string Rx() { return dir + "\\rxprot.txt"; }
    std::string Tx() { return dir + "\\txprot.txt"; }

    char oldDir[MAX_PATH] = {};
    std::string dir;
    HWND monitor = nullptr;
};

// Reads the header line at `at`: its tick, and where the data begins.
bool Header(const std::string& text, size_t at, long long& tick, size_t& data) {
    const size_t end = text.find(" #####\r\n", at);
    if (text.compare(at, 6, "##### ") != 0 || end == std::string::npos) return false;
    const std::string digits = text.substr(at + 6, end - at - 6);
    if (digits.empty() || digits.find_first_not_of("-0123456789") != std::string::npos) return false;
    tick = std::atoll(digits.c_str());
    data = end + 8;
    return true;
}

}  // namespace

TEST_F(TrafficLogWin, TickingStartsAfreshUntickingStops) {
    LogTx("PU\r\n");  // off at start: nothing written
    EXPECT_FALSE(Exists(Tx()));
    WriteFile(Rx(), "old recording");
    WriteFile(Tx(), "old recording");
    {
        BoxDismisser box;
        Switch(true);
        ASSERT_EQ(box.count, 1);
        EXPECT_EQ(box.text, Rx() + "\r\n" + Tx());
        EXPECT_TRUE(box.onlyOk);
        EXPECT_FALSE(box.icon);
        EXPECT_TRUE(box.topmost);  // system-modal
    }
    EXPECT_TRUE(Ticked());
    EXPECT_FALSE(Exists(Rx()));
    EXPECT_FALSE(Exists(Tx()));

    const long long before = static_cast<int32_t>(GetTickCount());
    LogTx("PU\r\n");
    LogRx("XYZP=400/");
    LogRx("800/0/1\r");
    long long tick = 0;
    size_t data = 0;
    const std::string tx = ReadFileBytes(Tx());
    ASSERT_TRUE(Header(tx, 0, tick, data)) << tx;
    EXPECT_GE(tick, before);
    EXPECT_LE(tick, static_cast<int32_t>(GetTickCount()));
    EXPECT_EQ(tx.substr(data), "PU\r\n");
    // A reply that came in two passes is two blocks, the second header inside its text.
    const std::string rx = ReadFileBytes(Rx());
    ASSERT_TRUE(Header(rx, 0, tick, data)) << rx;
    ASSERT_TRUE(Header(rx, data + 9, tick, data)) << rx;
    EXPECT_EQ(rx.substr(data), "800/0/1\r");

    Switch(false);  // no box
    EXPECT_FALSE(Ticked());
    EXPECT_EQ(RxLogPath(), "");
    LogTx("PD\r\n");
    EXPECT_EQ(ReadFileBytes(Tx()), tx);

    // A new monitor shows the box unticked; ticking it again deletes the recordings.
    DestroyWindow(monitor);
    monitor = OpenLineMonitor(nullptr);
    EXPECT_FALSE(Ticked());
    BoxDismisser box;
    Switch(true);
    EXPECT_EQ(box.count, 1);
    EXPECT_FALSE(Exists(Tx()));
}

TEST_F(TrafficLogWin, PathsAreFixedWhenRecordingStarts) {
    BoxDismisser box;
    Switch(true);
    // A file dialog, say, moves the current directory: the files stay where they were.
    const std::string other = MakeDirectory(dir + "\\other");
    ASSERT_TRUE(SetCurrentDirectoryA(other.c_str()));
    LogTx("PA0,0\r\n");
    LogRx("OK\r");
    EXPECT_TRUE(Exists(Tx()));
    EXPECT_TRUE(Exists(Rx()));
    EXPECT_FALSE(Exists(other + "\\txprot.txt"));
    EXPECT_FALSE(Exists(other + "\\rxprot.txt"));
    SetCurrentDirectoryA(dir.c_str());
    RemoveDirectoryA(other.c_str());
}

TEST_F(TrafficLogWin, ADirectoryTooDeepForThePathsGetsNoRecording) {
    // 246 characters: "\rxprot.txt" makes 257, one more than a path may have. Cut to 256
    // it would name "rxprot.tx", a file that is not ours.
    std::vector<std::string> made = {dir + "\\deep"};
    MakeDirectory(made.back());
    while (made.back().size() < 246)
        made.push_back(MakeDirectory(made.back() + "\\" + std::string(std::min<size_t>(40, 245 - made.back().size()), 'd')));
    const std::string deep = made.back();
    ASSERT_EQ(deep.size(), 246u);
    ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
    WriteFile(deep + "\\rxprot.tx", "keep");
    {
        BoxDismisser box;
        Switch(true);
        EXPECT_EQ(box.count, 0);
    }
    EXPECT_FALSE(Ticked());
    EXPECT_EQ(RxLogPath(), "");
    EXPECT_EQ(ReadFileBytes(deep + "\\rxprot.tx"), "keep");

    SetCurrentDirectoryA(dir.c_str());
    DeleteFileA((deep + "\\rxprot.tx").c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryA(it->c_str());
}

TEST_F(TrafficLogWin, ReceiveThreadLogsWhileTheUserSwitchesRecording) {
    BoxDismisser box;
    std::atomic<bool> stop{false};
    std::atomic<int> logged{0};
    std::thread receiver([&] {
        while (!stop) {
            LogRx("XYZP=1/2/3/4\r");
            ++logged;
        }
    });
    for (int i = 0; i < 12; ++i) {
        Switch(i % 2 == 0);
        Sleep(10);
    }
    // It ends switched on: the file holds whole blocks, all written after the restart.
    const long long restart = static_cast<int32_t>(GetTickCount());
    Switch(true);
    const int mark = logged;
    while (logged < mark + 20) Sleep(1);
    stop = true;
    receiver.join();
    EXPECT_EQ(box.count, 7);

    const std::string rx = ReadFileBytes(Rx());
    size_t at = 0;
    while (at < rx.size()) {
        long long tick = 0;
        size_t data = 0;
        ASSERT_TRUE(Header(rx, at, tick, data)) << at;
        ASSERT_GE(tick, restart) << at;
        ASSERT_EQ(rx.compare(data, 13, "XYZP=1/2/3/4\r"), 0) << at;
        at = data + 13;
    }
    EXPECT_GT(at, 0u);
}
