// The link against the in-process board: the waits where operations meet, the replies, the
// traffic files.
#include "tests/win/win_test_util.h"

#include <regex>

#include "config/register_transfer_win.h"
#include "config/setup_dialog_win.h"
#include "link/controller_search_win.h"
#include "link/line_monitor_win.h"
#include "link/traffic_log_win.h"
#include "plot/plot_run_win.h"
#include "plot/plot_state.h"

namespace {

class Link : public testing::Test {
protected:
    void SetUp() override {
        CreateMainDialog();
        ConnectBoard();
        ASSERT_TRUE(SetCurrentDirectoryA((dir = TempFolder("kt-link")).c_str()));
    }
    void TearDown() override { comPort = INVALID_HANDLE_VALUE; }
    // The user's click on the traffic files' check box; returns the boxes it brought up.
    std::string Record(bool on) {
        Hand hand;
        CheckDlgButton(monitor, ids::ChkTrafficLog, on ? BST_CHECKED : BST_UNCHECKED);
        SetTrafficLogging(monitor);
        return hand.Said();
    }
    std::string dir;
    HWND monitor = OpenLineMonitor(nullptr);
};
using R = SendResult;

}  // namespace

// Replies reach the windows; ticked, recording starts afresh, a block for each command sent.
TEST_F(Link, RepliesReachTheWindowsAndWhatGoesOverTheLineTheTrafficFiles) {
    WriteFile(dir + "\\txprot.txt", "old");
    SendCommand("PU\r\n");
    EXPECT_EQ(FileText(dir + "\\txprot.txt"), "old") << "off at the start";
    EXPECT_EQ(Record(true), "Protokollierung gestartet !|" + dir + "\\rxprot.txt\r\n" + dir + "\\txprot.txt");
    const long long before = static_cast<int32_t>(GetTickCount());
    // A file dialog, say, moves the current directory: the files stay where they were.
    SetCurrentDirectoryA(TempFolder("kt-link\\elsewhere").c_str());
    StartReceiveLoop(comPort);
    SendCommand("PA400,-120;PX12,30\r\n");
    SendCommand(";PX9876,3\r\nPX0,12\r\n");
    auto text = [](int id) { return ControlText(GetDlgItem(Ui.MainDialog, id)); };
    EXPECT_TRUE(PumpUntil([&] { return text(ids::TxtPosX) == "10.000" && App.RegisterImage[12] == 30; }));
    EXPECT_EQ(text(ids::TxtPosY) + " " + text(ids::TxtPosZ) + " " + text(ids::TxtPen), "-3.000 0.000 1");
    const std::string tx = FileText(dir + "\\txprot.txt");
    std::smatch tick;
    ASSERT_TRUE(std::regex_match(tx, tick,
                                 std::regex("##### (-?[0-9]+) #####\r\nPA400,-120;PX12,30\r\n"
                                            "##### -?[0-9]+ #####\r\n;PX9876,3\r\nPX0,12\r\n")))
        << tx;
    EXPECT_TRUE(std::stoll(tick[1]) >= before && std::stoll(tick[1]) <= static_cast<int32_t>(GetTickCount()))
        << tick[1];
    EXPECT_TRUE(std::regex_search(FileText(dir + "\\rxprot.txt"), std::regex("#####\r\n[^#]*XYZP=400/-120/0/1\r")));
    EXPECT_TRUE(Record(false).empty());
    comPort = INVALID_HANDLE_VALUE;  // the receive loop ends by itself
    SendCommand("PU\r\n");           // dropped without a fuss
    EXPECT_EQ(FileText(dir + "\\txprot.txt"), tx) << "off again";
    DestroyWindow(monitor);
    monitor = OpenLineMonitor(nullptr);
    EXPECT_FALSE(IsDlgButtonChecked(monitor, ids::ChkTrafficLog)) << "a new monitor starts unticked";
    // Where the files cannot be made (Program Files for a standard user; here folders in their place),
    // they go to the user's folder, which the box names; where neither can be, nothing is recorded.
    const std::string user = UserFolder(), blocked = dir + "\\elsewhere\\txprot.txt";
    CreateDirectoryA(blocked.c_str(), nullptr);
    EXPECT_EQ(Record(true),
              "Protokollierung gestartet !|Im aktuellen Ordner darf das Programm nicht schreiben;\r\n"
              "die Protokolle gehen in Ihren eigenen Ordner:\r\n" +
                  user + "\\rxprot.txt\r\n" + user + "\\txprot.txt");
    DeleteFileA((user + "\\txprot.txt").c_str());
    CreateDirectoryA((user + "\\txprot.txt").c_str(), nullptr);  // the user's folder closed too
    EXPECT_EQ(Record(true),
              "Keine Protokollierung !|Die Protokolldateien rxprot.txt und txprot.txt lassen sich weder "
              "im aktuellen Ordner\r\nnoch in Ihrem eigenen Ordner anlegen. Es wird nichts aufgezeichnet.");
    EXPECT_FALSE(IsDlgButtonChecked(monitor, ids::ChkTrafficLog));
    for (const std::string& d : {blocked, user + "\\txprot.txt"}) RemoveDirectoryA(d.c_str());
}

// A command typed then is refused visibly and stays in its box, without the line break Enter
// put after it.
TEST_F(Link, OneCommandWaitsBehindATransmissionFurtherOnesAreRefused) {
    HoldCts = true;
    std::vector<R> nested;
    HWND typed = GetDlgItem(Ui.MainDialog, ids::TxtCommand);
    Hand hand;
    TimedSteps steps(10, [&](int n) {
        if (n < 4) {
            nested.push_back(SendCommand("PR20,0\r\n"));
            return true;
        }
        SetWindowTextA(typed, "PD");
        SendMessageA(typed, EM_SETSEL, 2, 2);
        SendMessageA(typed, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("\r\n"));
        HoldCts = false;
        return false;
    });
    EXPECT_EQ(SendCommand("PA0,0\r\n"), R::Sent);
    EXPECT_EQ(Written, "PA0,0\r\nPR20,0\r\n");
    EXPECT_EQ(nested, (std::vector<R>{R::Queued, R::Refused, R::Refused, R::Refused}));
    EXPECT_FALSE(TransmissionBusy());
    EXPECT_EQ(hand.Said(), kBusyBox);
    EXPECT_EQ(ControlText(typed), "PD");
}

TEST_F(Link, StopDuringARunEndsTheWaitAndDropsWhatWaits) {
    R nested = R::Sent;
    HoldCts = true;
    App.RunMode = RunModes::Auto;
    TimedSteps steps(10, [&](int n) {
        if (n == 0) nested = SendCommand("PR20,0\r\n");
        if (n == 3) PollRunButtons(ids::BtnStop);  // what the poll does when it sees Stop held
        return n < 3;
    });
    EXPECT_EQ(SendCommand("PA0,0\r\n"), R::Abandoned);
    EXPECT_EQ(nested, R::Queued);
    EXPECT_FALSE(CommandWaiting());
    // Stop with no run going is no reason to give up a wait.
    TimedSteps later(10, [&](int n) {
        if (n == 0) PollRunButtons(ids::BtnStop);
        HoldCts = n < 3;
        return n < 3;
    });
    EXPECT_EQ(SendCommand("PU\r\n"), R::Sent);
    EXPECT_EQ(Written, "PU\r\n");
}

TEST_F(Link, ATransferEndsWithItsProgressWindowAndWaitsForNoOtherCommand) {
    HWND setup = CreateSetupDialog(Ui.MainDialog);
    SetDlgItemTextA(setup, 1162, "typed");
    HoldCts = true;
    TimedSteps steps(20, [&](int n) {
        if (HWND progress = FindOwnWindow("Lese 4180-Controller aus..."); progress && n >= 3)
            PostMessageA(progress, WM_CLOSE, 0, 0);
        return n < 50;
    });
    ReadRegisters(setup, ReadMode::Read);
    EXPECT_EQ(Written, "") << "the read line never started";
    EXPECT_EQ(ControlText(GetDlgItem(setup, 1162)), "typed");
    // While another command waits for the board, a transfer does not start at all.
    Hand hand;
    TimedSteps busy(10, [&](int n) {
        if (n == 0) ReadRegisters(setup, ReadMode::Read);
        HoldCts = n < 1;
        return n < 1;
    });
    EXPECT_EQ(SendCommand("PU\r\n"), R::Sent);
    EXPECT_EQ(hand.Said(), kBusyBox);
    EXPECT_EQ(Written, "PU\r\n");
}

// A search with a command half sent asks first (Nein changes nothing); a search during a run
// ends the run: nothing more of the file goes out, to the old port or the one found again.
TEST_F(Link, ASearchAsksBeforeItCutsACommandAndEndsARun) {
    WriteFile(Plot.PlotFile = dir + "\\lines.plt", "PA10,0;\r\nPA20,0;\r\nPA30,0;\r\n");
    static PortDriver inner;
    inner = PortOps;
    PortOps.startWrite = [](HANDLE port, const std::string& bytes) {
        const WriteStatus s = inner.startWrite(port, bytes);
        if (Writes == 5) HoldCts = true;  // ";" CR LF "PA", and the run waits in the middle of its line
        return s;
    };
    std::vector<Hand::Box> asked;
    TimedSteps search(10, [&](int) {
        if (Writes < 5 || !CommandHalfSent()) return true;
        for (const int answer : {IDNO, IDYES}) {
            Hand hand("", "", nullptr, answer);
            if (answer == IDYES) HoldCts = false;
            FindController();
            for (const Hand::Box& b : hand.Finish().boxes) asked.push_back(b);
            EXPECT_EQ(App.RunMode, answer == IDNO ? RunModes::Auto : RunModes::Idle) << answer;
        }
        return false;
    });
    StartPlotRun(ids::BtnRun);
    ASSERT_EQ(asked.size(), 2u) << "asked each time";
    EXPECT_EQ(asked[1].title + "|" + asked[1].text,
              "CNC?|Ein Kommando ist erst zum Teil gesendet. Bei einer neuen Suche geht der Rest\r\ndieser Zeile "
              "verloren, und der Controller erhält nur ihren Anfang.\r\n\r\nTrotzdem neu suchen?");
    EXPECT_EQ(BoardReceived(), ";\r\nPA\r\npx0,0\r\n\r\n\r\n");
    EXPECT_EQ(App.RunMode, RunModes::Idle);
}
