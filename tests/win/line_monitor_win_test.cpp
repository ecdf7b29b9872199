#include "link/line_monitor_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "app/main_dialog_win.h"
#include "base/settings_win.h"
#include "app/main_tooltips_win.h"
#include "base/tooltips_win.h"
#include "tests/win/win_test_util.h"

namespace {

POINT Corner(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return {r.left, r.top};
}

// Written out from the layout, not from the program's table.
struct Expected {
    int id;
    const char* cls;
    const char* caption;
    int x, y, w, h;
};
const std::vector<Expected> kLayout = {
    {0x470, "Static", "Daten zum Controller:", 2, 2, 108, 16}, {0x476, "Static", "Byte-Count:", 120, 2, 60, 16},
    {0x444, "Edit", "", 180, 2, 48, 16},                       {0x414, "Edit", "", 4, 18, 224, 156},
    {0x471, "Static", "Vom Controller:", 2, 176, 108, 16},     {0x477, "Static", "Byte-Count:", 120, 176, 60, 16},
    {0x442, "Edit", "", 180, 176, 48, 16},                     {0x415, "Edit", "", 4, 192, 224, 180},
    {0x417, "Button", "RX-TX-Protokoll", 4, 374, 218, 16},
};

// Every test starts without a stored position and leaves none behind.
class LineMonitorWin : public testing::Test {
protected:
    void SetUp() override { DeleteFileA(ConfigFile().c_str()); }
    void TearDown() override {
        if (LineMonitorExists()) DestroyWindow(Ui.lineMonitor);
        DeleteFileA(ConfigFile().c_str());
    }
    static HWND Item(int id) { return GetDlgItem(Ui.lineMonitor, id); }
    static std::string Text(int id) { return WindowText(Item(id)); }
};

}  // namespace

TEST_F(LineMonitorWin, OneWindowForTwoOpens) {
    HWND w = OpenLineMonitor(nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(Ui.lineMonitor, w);
    // The second opening returns it where it is.
    SetWindowPos(w, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(OpenLineMonitor(nullptr), w);
    EXPECT_EQ(Corner(w).x, 300);
    DestroyWindow(w);
    EXPECT_FALSE(LineMonitorExists());
    EXPECT_TRUE(IsWindow(OpenLineMonitor(nullptr)));
}

TEST_F(LineMonitorWin, WindowControlsAndTooltips) {
    HWND w = OpenLineMonitor(nullptr);
    EXPECT_EQ(WindowText(w), "Line-Monitor");
    EXPECT_TRUE(IsWindowVisible(w));
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 231);
    EXPECT_EQ(client.bottom, 395);
    const DWORD style = static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE));
    EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_MAXIMIZEBOX), static_cast<DWORD>(WS_SYSMENU | WS_MINIMIZEBOX));
    EXPECT_TRUE(GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_NE(SendMessageA(w, WM_GETICON, ICON_SMALL, 0), 0);

    HWND c = GetWindow(w, GW_CHILD);
    for (const Expected& e : kLayout) {
        ASSERT_NE(c, nullptr) << "missing " << e.id;
        EXPECT_EQ(GetDlgCtrlID(c), e.id);
        EXPECT_EQ(ClassOf(c), e.cls) << e.id;
        EXPECT_EQ(WindowText(c), e.caption) << e.id;
        const RECT r = ChildRect(c);
        EXPECT_EQ(r.left, e.x) << e.id;
        EXPECT_EQ(r.top, e.y) << e.id;
        EXPECT_EQ(r.right - r.left, e.w) << e.id;
        EXPECT_EQ(r.bottom - r.top, e.h) << e.id;
        c = GetWindow(c, GW_HWNDNEXT);
    }
    EXPECT_EQ(c, nullptr) << "a control too many";

    auto styleOf = [](int id) { return static_cast<DWORD>(GetWindowLongA(Item(id), GWL_STYLE)); };
    const DWORD count = ES_READONLY | ES_NUMBER | ES_RIGHT, data = ES_MULTILINE | ES_READONLY | ES_WANTRETURN;
    EXPECT_EQ(styleOf(ids::TxtRxCount) & count, count);
    EXPECT_EQ(styleOf(ids::TxtMonitorRx) & data, data);
    EXPECT_EQ(ControlBackground(Item(ids::TxtMonitorTx)), RGB(255, 255, 255));
    EXPECT_EQ(ControlBackground(Item(ids::LblRxByteCount)), RGB(196, 231, 143));
    LOGFONTA lf = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Item(ids::TxtMonitorRx), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "Courier New");
    // Unticked, and quiet about focus: each of its notifications restarts the recording.
    EXPECT_EQ(styleOf(ids::ChkTrafficLog) & (BS_TYPEMASK | BS_NOTIFY), static_cast<DWORD>(BS_AUTOCHECKBOX));
    EXPECT_EQ(IsDlgButtonChecked(w, ids::ChkTrafficLog), static_cast<UINT>(BST_UNCHECKED));

    EXPECT_EQ(TipOf(Item(ids::TxtMonitorTx)), "RS232-Datenstrom\r\nvom PC zum Controller");
    EXPECT_EQ(TipOf(Item(ids::TxtMonitorRx)), "RS232-Datenstrom\r\nvom Controller zum PC");
    EXPECT_EQ(TipOf(Item(ids::TxtRxCount)), "Anzahl der empf.\r\nZeichen (RXCNT)");
    EXPECT_EQ(TipOf(Item(ids::TxtTxCount)), "Anzahl der gesend.\r\nZeichen (TXCNT)");
}

TEST_F(LineMonitorWin, PositionStoredWhenClosedAndUsedAtTheNextOpening) {
    // No section "pos" (the file holds another one): 9, 9.
    ASSERT_TRUE(WriteConfigValue("files", "lang", "default.lan"));
    HWND w = OpenLineMonitor(nullptr);
    EXPECT_EQ(Corner(w).x, 9);
    EXPECT_EQ(Corner(w).y, 9);
    DeleteFileA(ConfigFile().c_str());

    SetWindowPos(w, nullptr, 400, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SaveLineMonitorPosition(w);
    std::ifstream in(ConfigFile(), std::ios::binary);
    std::stringstream file;
    file << in.rdbuf();
    // Windows keeps the leading blank in the file, Wine drops it.
    EXPECT_TRUE(file.str() == "[pos]\r\nlmw= 400, 120\r\n" || file.str() == "[pos]\r\nlmw=400, 120\r\n") << file.str();
    DestroyWindow(w);
    w = OpenLineMonitor(nullptr);
    EXPECT_EQ(Corner(w).x, 400);
    EXPECT_EQ(Corner(w).y, 120);
    DestroyWindow(w);

    ASSERT_TRUE(WriteConfigValue("pos", "lmw", "10,20"));  // by hand
    w = OpenLineMonitor(nullptr);
    EXPECT_EQ(Corner(w).x, 10);
    EXPECT_EQ(Corner(w).y, 20);
}

TEST_F(LineMonitorWin, AMinimizedWindowStoresWhereItIsRestoredTo) {
    HWND w = OpenLineMonitor(nullptr);
    SetWindowPos(w, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(w, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(w));
    // Closed from its task-bar button: the minimized corner lies far off the screen, and the
    // next opening would be out of sight.
    SaveLineMonitorPosition(w);
    EXPECT_EQ(ReadConfigValue("pos", "lmw", "none", 98), "300, 200");
}

TEST_F(LineMonitorWin, SendBoxAndCountOnlyWhileOpen) {
    const uint32_t start = txByteCount;
    MonitorShowTx("PD\r\n");  // closed
    EXPECT_EQ(txByteCount, start);

    OpenLineMonitor(nullptr);
    EXPECT_EQ(Text(ids::TxtMonitorTx), "");
    MonitorShowTx("PU\r\n");
    EXPECT_EQ(txByteCount, start + 4);
    EXPECT_EQ(Text(ids::TxtMonitorTx), "PU\r\n");
    EXPECT_EQ(Text(ids::TxtTxCount), std::to_string(start + 4));
    // The thirteenth line removes the oldest; its LF stays on top.
    std::string lines;
    for (int i = 2; i <= 13; ++i) {
        const std::string line = "PR" + std::to_string(i) + ",0\r\n";
        MonitorShowTx(line);
        if (i > 2) lines += line;
    }
    EXPECT_EQ(Text(ids::TxtMonitorTx), "\nPR2,0\r\n" + lines);
    EXPECT_EQ(Text(ids::TxtTxCount), std::to_string(txByteCount));

    // A new monitor starts empty; the count goes on from where it was.
    DestroyWindow(Ui.lineMonitor);
    const uint32_t closedAt = txByteCount;
    MonitorShowTx("PU\r\n");
    OpenLineMonitor(nullptr);
    EXPECT_EQ(Text(ids::TxtMonitorTx), "");
    EXPECT_EQ(Text(ids::TxtTxCount), "");
    MonitorShowTx("PA0,0\r\n");
    EXPECT_EQ(Text(ids::TxtTxCount), std::to_string(closedAt + 7));
}

TEST_F(LineMonitorWin, ReceiveBoxKeeps500CharactersAndScrollsToTheEnd) {
    MonitorShowRx("lost");  // closed: no effect
    HWND w = OpenLineMonitor(nullptr);
    EXPECT_EQ(Text(ids::TxtMonitorRx), "");
    std::string all;
    for (int i = 0; i < 60; ++i) {
        const std::string chunk = "XYZP=" + std::to_string(i) + "/0/0/1\r\n";
        all += chunk;
        MonitorShowRx(chunk);
    }
    EXPECT_EQ(Text(ids::TxtMonitorRx), all.substr(all.size() - 500));
    HWND box = GetDlgItem(w, ids::TxtMonitorRx);
    EXPECT_GT(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), SendMessageA(box, EM_GETLINECOUNT, 0, 0) - 15);
    MonitorShowRxCount(4294967295u);
    EXPECT_EQ(Text(ids::TxtRxCount), "4294967295");
}
