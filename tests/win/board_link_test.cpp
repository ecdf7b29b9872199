// The controller link against real ports: run by tests/e2e/board_link.sh, which maps the
// board simulator to COM3, a silent device to COM1 and one that answers only in lower case
// to COM2, and tells these tests where their records are (KT_BOARD_DIR). The tests share one
// main dialog and run in order, as a user's session would.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "base/process_state.h"
#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "app/main_dialog_win.h"
#include "base/settings_win.h"
#include "link/controller_search_win.h"
#include "link/line_monitor_win.h"
#include "link/serial_port_win.h"
#include "link/traffic_log_win.h"
#include "link/transmission_win.h"
#include "tests/win/win_test_util.h"

namespace {

std::string Dir() { return EnvVar("KT_BOARD_DIR"); }

// The port links are named like devices, so a Windows program cannot move them: the script
// does it on request ("unplug3" or "plug3" in a request file, answered by deleting it).
bool AskScript(const std::string& request) {
    const std::string path = Dir() + "\\request";
    {
        std::ofstream out(path + ".tmp", std::ios::binary);
        out << request;
    }
    MoveFileA((path + ".tmp").c_str(), path.c_str());
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > 5000) return false;
        Sleep(20);
    }
    return true;
}

class Board : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_FALSE(Dir().empty()) << "run through tests/e2e/board_link.sh";
        HWND dlg = CreateMainDialog();
        ShowWindow(dlg, SW_SHOW);
        // First start: nothing remembered.
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "kt_win_tests\\Ini");
    }
    HWND Item(int id) { return GetDlgItem(Ui.mainDialog, id); }
};

}  // namespace

TEST_F(Board, SearchFindsTheBoardOnCom3AndRemembersIt) {
    HWND monitor = OpenLineMonitor(Ui.mainDialog);
    Ui.lineMonitor = monitor;
    // Recording on, so that the test sees the probe stays out of the traffic files too.
    SendDlgItemMessageA(monitor, ids::ChkTrafficLog, BM_SETCHECK, BST_CHECKED, 0);
    {
        BoxWatcher box(10000);
        SetTrafficLogging(monitor);
        box.Wait();
        EXPECT_EQ(box.title, "Protokollierung gestartet !");
    }
    FindController();
    EXPECT_TRUE(PortIsOpen());
    EXPECT_EQ(WindowText(Item(ids::LblComPort)), "COM3");
    EXPECT_EQ(ControlBackground(Item(ids::LblComPort)), RGB(0, 128, 0));
    EXPECT_EQ(ControlTextColor(Item(ids::LblComPort)), RGB(255, 255, 255));
    EXPECT_EQ(WindowText(Item(ids::LblControllerOn)), "KT4180-Controller an:");
    EXPECT_EQ(ReadRegistryValue("Ini", "fcomport", ""), " 3");
    // The probe went to the silent and the lower-case device first, and to the board.
    EXPECT_EQ(ReadFileBytes(Dir() + "\\port1.rec"), "\r\npx0,0\r\n\r\n");
    EXPECT_EQ(ReadFileBytes(Dir() + "\\port2.rec"), "\r\npx0,0\r\n\r\n");
    EXPECT_EQ(ReadFileBytes(Dir() + "\\port3.raw").substr(0, 13), "\r\npx0,0\r\n\r\n\r\n");
    // The probe is neither shown nor counted.
    EXPECT_EQ(WindowText(GetDlgItem(monitor, ids::TxtMonitorTx)), "");
    EXPECT_EQ(txByteCount, 0u);
    EXPECT_EQ(ReadFileBytes(TxLogPath()), "");
    EXPECT_EQ(ReadFileBytes(RxLogPath()), "");
}

TEST_F(Board, PositionQueryFillsTheFourBoxes) {
    SendCommand("PA400,-120;\r\n");
    SendCommand(";PX9876,3\r\n");
    EXPECT_TRUE(PumpUntil([&] { return WindowText(Item(ids::TxtPosX)) == "10.000"; }, 3000));
    EXPECT_EQ(WindowText(Item(ids::TxtPosY)), "-3.000");
    EXPECT_EQ(WindowText(Item(ids::TxtPosZ)), "0.000");
    EXPECT_EQ(WindowText(Item(ids::TxtPen)), "1");
    // Exactly these bytes reached the board, after the probe and its empty line.
    EXPECT_EQ(ReadFileBytes(Dir() + "\\port3.raw").substr(13), "PA400,-120;\r\n;PX9876,3\r\n");
    // And both commands are in the transmit file, the answer in the receive file.
    const std::string tx = ReadFileBytes(TxLogPath());
    EXPECT_NE(tx.find(" #####\r\nPA400,-120;\r\n##### "), std::string::npos) << tx;
    EXPECT_NE(tx.find(" #####\r\n;PX9876,3\r\n"), std::string::npos) << tx;
    EXPECT_NE(ReadFileBytes(RxLogPath()).find("XYZP=400/-120/0/1"), std::string::npos);
}

TEST_F(Board, RegisterReplyFillsTheRegisterImage) {
    SendCommand("PX12,30\r\n");
    App.RegisterImage[12] = -1;
    SendCommand("PX0,12\r\n");
    EXPECT_TRUE(PumpUntil([] { return App.RegisterImage[12].load() != -1; }, 3000));
    EXPECT_EQ(App.RegisterImage[12].load(), 30);
}

TEST_F(Board, MonitorShowsAndCountsWhatIsSentWhileOpen) {
    const uint32_t before = txByteCount;
    SendCommand("PU\r\n");
    EXPECT_EQ(txByteCount, before + 4);
    EXPECT_NE(WindowText(GetDlgItem(Ui.lineMonitor, ids::TxtMonitorTx)).find("PU\r\n"), std::string::npos);
    // Replies reach the receive box and the counter.
    EXPECT_TRUE(PumpUntil([&] { return !WindowText(GetDlgItem(Ui.lineMonitor, ids::TxtMonitorRx)).empty(); }, 3000));
    EXPECT_TRUE(PumpUntil([&] { return WindowText(GetDlgItem(Ui.lineMonitor, ids::TxtRxCount)) != ""; }, 3000));
    DestroyWindow(Ui.lineMonitor);
    SendCommand("PU\r\n");
    EXPECT_EQ(txByteCount, before + 4);
}

TEST_F(Board, ASearchWithNothingAnsweringClosesTheLinkAndSaysSo) {
    ASSERT_TRUE(AskScript("unplug3"));
    BoxWatcher box(60000);
    FindController();
    box.Wait();
    ASSERT_TRUE(AskScript("plug3"));
    EXPECT_EQ(box.title, "CNC?");
    EXPECT_EQ(box.text, "kein KT4180-Controller gefunden !");
    EXPECT_FALSE(PortIsOpen());
    EXPECT_EQ(WindowText(Item(ids::LblComPort)), "COM??");
    EXPECT_EQ(ControlBackground(Item(ids::LblComPort)), RGB(255, 0, 0));
    // The remembered port stays.
    EXPECT_EQ(ReadRegistryValue("Ini", "fcomport", ""), " 3");
    // Commands without a port are dropped without a fuss.
    SendCommand("PU\r\n");
}

TEST_F(Board, TheRememberedPortIsTriedFirst) {
    const std::string raw1 = ReadFileBytes(Dir() + "\\port1.rec");
    DeleteFileA(TxLogPath().c_str());
    DeleteFileA(RxLogPath().c_str());
    FindController();
    EXPECT_TRUE(PortIsOpen());
    EXPECT_EQ(WindowText(Item(ids::LblComPort)), "COM3");
    // COM3 answered at once: COM1 heard no further probe.
    EXPECT_EQ(ReadFileBytes(Dir() + "\\port1.rec"), raw1);
}
