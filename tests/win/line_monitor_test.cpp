// The line monitor and the position it stores.
#include "tests/win/win_test_util.h"

#include "link/line_monitor_win.h"

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
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ((std::pair<LONG, LONG>{client.right, client.bottom}), (std::pair<LONG, LONG>{231, 395}));
    EXPECT_EQ(Children(w),
              (std::vector<std::string>{"1136 Static Daten zum Controller: 2,2 108x16",
                                        "1142 Static Byte-Count: 120,2 60x16", "1092 Edit  180,2 48x16",
                                        "1044 Edit  4,18 224x156", "1137 Static Vom Controller: 2,176 108x16",
                                        "1143 Static Byte-Count: 120,176 60x16", "1090 Edit  180,176 48x16",
                                        "1045 Edit  4,192 224x180", "1047 Button RX-TX-Protokoll 4,374 218x16"}));
    EXPECT_EQ(BackOf(GetDlgItem(w, ids::LblRxByteCount)), RGB(196, 231, 143));
    // Quiet about focus: each notification of the box restarts the recording.
    EXPECT_EQ(GetWindowLongA(GetDlgItem(w, ids::ChkTrafficLog), GWL_STYLE) & (BS_TYPEMASK | BS_NOTIFY),
              BS_AUTOCHECKBOX);
    EXPECT_EQ(TipOf(GetDlgItem(w, ids::TxtMonitorTx)), "RS232-Datenstrom\r\nvom PC zum Controller");
    EXPECT_EQ(TipOf(GetDlgItem(w, ids::TxtRxCount)), "Anzahl der empf.\r\nZeichen (RXCNT)");

    SetWindowPos(w, nullptr, 400, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(OpenLineMonitor(nullptr), w) << "a second opening returns it where it is";
    SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(LineMonitorExists());
    w = OpenLineMonitor(nullptr);
    // Closed from its task-bar button while minimized: the corner it is restored to, not the
    // minimized one far off the screen.
    ShowWindow(w, SW_MINIMIZE);
    SendMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(ReadConfigValue("pos", "lmw", "none", 98), "400, 120");
    WriteConfigValue("pos", "lmw", "-1300, 200");  // on a screen since detached: where the user can reach it
    EXPECT_EQ(Corner(OpenLineMonitor(nullptr)), (std::pair<LONG, LONG>{9, 9}));
    DeleteFileA(ConfigFile().c_str());
}
