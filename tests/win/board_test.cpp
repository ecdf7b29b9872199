// The program against the board simulator on real (pseudo-terminal) ports: each suite is run
// by its script in tests/e2e, which maps the simulator and records what it receives. The
// tests of a suite share one main dialog and run in order, as a user's session would.
#include "tests/win/win_test_util.h"

#include <map>

#include "config/field_info.h"
#include "config/register_table.h"
#include "config/setup_dialog_win.h"
#include "link/controller_search_win.h"
#include "link/line_monitor_win.h"
#include "link/traffic_log_win.h"
#include "manual/jog_commands.h"
#include "plot/plot_run_win.h"
#include "plot/plot_state.h"
#include "plot/preview_win.h"

namespace {

HWND Item(int id) { return GetDlgItem(Ui.mainDialog, id); }

// board_link.sh: a silent device on COM1, one answering only in lower case on COM2, the board
// on COM3. Port links are named like devices, so a Windows program cannot move them: the
// script does it on request ("unplug3" or "plug3" in a request file, deleted when done).
bool AskScript(const std::string& request) {
    const std::string path = BoardDir() + "\\request";
    WriteFileBytes(path + ".tmp", request);
    MoveFileA((path + ".tmp").c_str(), path.c_str());
    for (const DWORD start = GetTickCount(); Exists(path); Sleep(20))
        if (GetTickCount() - start > 5000) return false;
    return true;
}

class BoardLink : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ShowWindow(CreateMainDialog(), SW_SHOW);
        SetCurrentDirectoryA(BoardDir().c_str());  // where the traffic files go
        RegDeleteKeyA(HKEY_CLASSES_ROOT, "kt_win_tests\\Ini");  // nothing remembered
    }
};

}  // namespace

TEST_F(BoardLink, TheSearchFindsTheBoardOnCom3AndRemembersIt) {
    ASSERT_FALSE(BoardDir().empty()) << "run through tests/e2e/board_link.sh";
    Ui.lineMonitor = OpenLineMonitor(Ui.mainDialog);
    // Recording on, so that the test sees the probe stays out of the traffic files too.
    CheckDlgButton(Ui.lineMonitor, ids::ChkTrafficLog, BST_CHECKED);
    Hand hand;
    SetTrafficLogging(Ui.lineMonitor);
    FindController();
    EXPECT_EQ(hand.Finish().boxes.size(), 1u);
    EXPECT_TRUE(PortIsOpen());
    EXPECT_EQ(Text(Item(ids::LblComPort)), "COM3");
    EXPECT_EQ(ColoursOf(Item(ids::LblComPort)).first, RGB(0, 128, 0));
    EXPECT_EQ(ColoursOf(Item(ids::LblComPort)).second, RGB(255, 255, 255));
    EXPECT_EQ(Text(Item(ids::LblControllerOn)), "KT4180-Controller an:");
    EXPECT_EQ(ReadRegistryValue("Ini", "fcomport", ""), " 3");
    // The probe went to the silent and the lower-case device first, then to the board.
    EXPECT_EQ(ReadFileBytes(BoardDir() + "\\port1.rec"), "\r\npx0,0\r\n\r\n");
    EXPECT_EQ(ReadFileBytes(BoardDir() + "\\port2.rec"), "\r\npx0,0\r\n\r\n");
    EXPECT_EQ(ReceivedSince(0), "\r\npx0,0\r\n\r\n\r\n");
    // It is neither shown nor counted nor recorded.
    EXPECT_EQ(Text(GetDlgItem(Ui.lineMonitor, ids::TxtMonitorTx)), "");
    EXPECT_EQ(txByteCount, 0u);
    EXPECT_EQ(ReadFileBytes(BoardDir() + "\\txprot.txt") + ReadFileBytes(BoardDir() + "\\rxprot.txt"), "");
}

TEST_F(BoardLink, RepliesFillThePositionBoxesTheRegisterImageAndTheMonitor) {
    SendCommand("PA400,-120;\r\nPX12,30\r\n");
    SendCommand(";PX9876,3\r\n");
    SendCommand("PX0,12\r\n");
    EXPECT_TRUE(PumpUntil([] { return Text(Item(ids::TxtPosX)) == "10.000" && App.RegisterImage[12] == 30; }, 3000));
    EXPECT_EQ(Text(Item(ids::TxtPosY)), "-3.000");
    EXPECT_EQ(Text(Item(ids::TxtPosZ)), "0.000");
    EXPECT_EQ(Text(Item(ids::TxtPen)), "1");
    EXPECT_EQ(ReceivedSince(13), "PA400,-120;\r\nPX12,30\r\n;PX9876,3\r\nPX0,12\r\n");
    EXPECT_EQ(Text(GetDlgItem(Ui.lineMonitor, ids::TxtTxCount)), "41");
    EXPECT_NE(Text(GetDlgItem(Ui.lineMonitor, ids::TxtMonitorRx)).find("XYZP=400/-120/0/1"), std::string::npos);
    // The traffic files: one block per command, one per pass of the receive loop.
    const std::string tx = ReadFileBytes(BoardDir() + "\\txprot.txt");
    EXPECT_NE(tx.find(" #####\r\nPA400,-120;\r\nPX12,30\r\n##### "), std::string::npos) << tx;
    EXPECT_EQ(tx.substr(tx.size() - 16), " #####\r\nPX0,12\r\n") << tx;
    EXPECT_NE(ReadFileBytes(BoardDir() + "\\rxprot.txt").find("XYZP=400/-120/0/1"), std::string::npos);
    DestroyWindow(Ui.lineMonitor);
}

TEST_F(BoardLink, ASearchWithNothingAnsweringClosesTheLinkAndSaysSo) {
    ASSERT_TRUE(AskScript("unplug3"));
    Hand hand;
    FindController();
    hand.Finish();
    ASSERT_TRUE(AskScript("plug3"));
    ASSERT_EQ(hand.boxes.size(), 1u);
    EXPECT_EQ(hand.boxes[0].title, "CNC?");
    EXPECT_EQ(hand.boxes[0].text, "kein KT4180-Controller gefunden !");
    EXPECT_FALSE(PortIsOpen());
    EXPECT_EQ(Text(Item(ids::LblComPort)), "COM??");
    EXPECT_EQ(BackOf(Item(ids::LblComPort)), RGB(255, 0, 0));
    EXPECT_EQ(ReadRegistryValue("Ini", "fcomport", ""), " 3") << "the remembered port stays";
    SendCommand("PU\r\n");  // dropped without a fuss

    // The next search tries the remembered port first: COM1 hears no further probe.
    const std::string port1 = ReadFileBytes(BoardDir() + "\\port1.rec");
    FindController();
    EXPECT_EQ(Text(Item(ids::LblComPort)), "COM3");
    EXPECT_EQ(ReadFileBytes(BoardDir() + "\\port1.rec"), port1);
}

namespace {

// board_plot.sh: the board on COM4.
class BoardPlot : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(OpenBoardSession(4)) << "run through tests/e2e/board_plot.sh";
        CreatePreviewControl(Ui.mainDialog, 206, 2, 400, 300);
    }
    // A plot file of the lines "PA<i>,0;" for i < n; returns what a run sends of it.
    static std::string PlotLines(int n) {
        std::string text;
        for (int i = 0; i < n; ++i) text += "PA" + std::to_string(i) + ",0;\r\n";
        WriteFileBytes(Plot.PlotFile = BoardDir() + "\\lines.plt", text);
        return ";\r\n" + text;
    }
    // Holds the left button on control id for holdMs, from a helper thread.
    static void Hold(int id, DWORD holdMs) {
        MoveTo(Item(id));
        MouseButton(true);
        Sleep(holdMs);
        MouseButton(false);
    }
};

}  // namespace

TEST_F(BoardPlot, AnAutomaticRunSendsEveryLine) {
    const size_t before = Received().size();
    const std::string sent = PlotLines(3);
    StartPlotRun(ids::BtnRun);
    EXPECT_EQ(App.RunMode, RunIdle) << "the end of the file ends the run";
    EXPECT_EQ(ReceivedSince(before), sent);
    Plot.PlotFile.clear();
    Hand hand;
    StartPlotRun(ids::BtnRun);
    ASSERT_EQ(hand.Finish().boxes.size(), 1u);
    EXPECT_EQ(hand.boxes[0].title + " " + hand.boxes[0].text, "Stop PLT-File ?");
    EXPECT_EQ(ReceivedSince(before), sent) << "no file, nothing sent";
}

// Started with Step, the run waits before each line; Stop held ends it: the waiting line
// still goes out, nothing after it.
TEST_F(BoardPlot, StopHeldDuringAStepWaitSendsTheWaitingLineAndNothingMore) {
    const size_t before = Received().size();
    PlotLines(2);
    std::string whileWaiting;
    std::thread hand([&] {
        Sleep(600);
        whileWaiting = Received().substr(before) + std::to_string(App.RunMode);
        Hold(ids::BtnStop, 300);
    });
    StartPlotRun(ids::BtnStep);
    hand.join();
    EXPECT_EQ(whileWaiting, ";\r\n" + std::to_string(RunStep)) << "only the first line goes before a step wait";
    EXPECT_EQ(App.RunMode, RunIdle);
    EXPECT_EQ(ReceivedSince(before), ";\r\nPA0,0;\r\n");
}

// Step held during an automatic run switches it to step mode, which sends while Step is held
// and waits after the release; Run held then goes on to the end.
TEST_F(BoardPlot, StepAndRunHeldSwitchTheMode) {
    const size_t before = Received().size();
    const std::string sent = PlotLines(2000);
    int modeWhileWaiting = -1;
    size_t sentAfterRelease = 0, sentLater = 0;
    std::thread hand([&] {
        Hold(ids::BtnStep, 150);  // from before the run starts
        Sleep(300);
        sentAfterRelease = Received().size() - before;
        Sleep(400);
        sentLater = Received().size() - before;
        modeWhileWaiting = App.RunMode;
        Hold(ids::BtnRun, 150);
    });
    Sleep(50);
    StartPlotRun(ids::BtnRun);
    hand.join();
    EXPECT_EQ(modeWhileWaiting, RunStep);
    EXPECT_EQ(sentLater, sentAfterRelease) << "a step run waits while Step is not held";
    EXPECT_LT(sentAfterRelease, sent.size()) << "Step held sent the whole file at once";
    EXPECT_EQ(App.RunMode, RunIdle) << "Run held finished the file";
    EXPECT_EQ(ReceivedSince(before), sent);
}

namespace {

// manual_jog.sh: the board on COM6; the jog images pressed and commands typed with real input.
class BoardJog : public testing::Test {
protected:
    void SetUp() override {
        static const bool open = OpenBoardSession(6);
        ASSERT_TRUE(open) << "run through tests/e2e/manual_jog.sh";
        ASSERT_TRUE(PumpUntil([] { return SetForegroundWindow(Ui.mainDialog) && GetActiveWindow() == Ui.mainDialog; }, 1000));
        SetWindowTextA(Item(ids::TxtSteps), "20");
    }
    void TearDown() override { EXPECT_FALSE(App.JogBusy); }
};

void Key(WORD vk, wchar_t unicode = 0) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki = {vk, unicode, static_cast<DWORD>(unicode ? KEYEVENTF_UNICODE : 0), 0, 0};
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    PumpFor(15);
}

}  // namespace

TEST_F(BoardJog, EachClickSendsItsCommandOnce) {
    SetWindowTextA(Item(ids::TxtSteps), "345");
    const size_t before = Received().size();
    std::string expected;
    for (int id : {ids::JogXPlus, ids::JogXMinus, ids::JogYPlus, ids::JogYMinus, ids::JogXPlusYPlus, ids::JogXMinusYPlus,
                   ids::JogXMinusYMinus, ids::JogXPlusYMinus, ids::JogZUp, ids::JogZDown, ids::JogPenUp, ids::JogPenDown,
                   ids::JogReference, ids::JogZeroPoint, ids::BtnQueryPosition}) {
        Press(Item(id));
        expected += id == ids::BtnQueryPosition ? ";PX9876,3\r\n" : JogCommand(id, 345);
    }
    EXPECT_EQ(ReceivedSince(before), expected);
}

TEST_F(BoardJog, HoldingRepeatsBackToBackUntilTheRelease) {
    const size_t before = Received().size();
    Press(Item(ids::JogYMinus), 1000, 1300);
    const std::string received = ReceivedSince(before);
    std::string moves;
    while (moves.size() < received.size()) moves += "PR0,-20\r\n";
    EXPECT_EQ(received, moves) << "whole moves only";
    // About 300 here; a move each 250 ms would make four or five.
    EXPECT_GE(moves.size() / 9, 20u);
}

TEST_F(BoardJog, AnInvalidStepCountWarnsAndMovesNothing) {
    const size_t before = Received().size();
    // The person clicks OK; the count is checked for the images without one too.
    Hand click("", "", [](HWND box) {
        MoveTo(GetDlgItem(box, IDOK));
        MouseButton(true);
        Sleep(30);
        MouseButton(false);
    });
    for (auto [steps, id] : std::vector<std::pair<const char*, int>>{
             {"20001", ids::JogXPlus}, {"0", ids::JogYMinus}, {"", ids::JogZUp}, {"abc", ids::JogPenUp}}) {
        SetWindowTextA(Item(ids::TxtSteps), steps);
        Press(Item(id));
    }
    click.Finish();
    // Or presses Enter while still holding the image: the same press raises no second warning.
    Hand enter("", "", [](HWND box) {
        PostMessageA(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        PostMessageA(GetDlgItem(box, IDOK), WM_KEYUP, VK_RETURN, 0xC01C0001);
    });
    Press(Item(ids::JogXPlus), 1500, 1800);
    enter.Finish();
    EXPECT_EQ(click.forced + enter.forced, 0);
    click.boxes.insert(click.boxes.end(), enter.boxes.begin(), enter.boxes.end());
    ASSERT_EQ(click.boxes.size(), 5u);
    for (const auto& box : click.boxes) {
        EXPECT_EQ(box.title + " " + box.text, "No Steps? ungültiger Wert in Step-Box !");
        EXPECT_TRUE(box.mainDisabled) << "the box is modal";
    }
    EXPECT_EQ(ReceivedSince(before), "");
}

TEST_F(BoardJog, NoJogWhileAnotherWindowIsInFront) {
    // A notifying static answers hit tests and, unlike a button, does not capture the mouse.
    HWND other = CreateWindowExA(0, "Static", "", WS_POPUP | WS_VISIBLE | SS_NOTIFY, 0, 0, 120, 80, nullptr, nullptr,
                                 nullptr, nullptr);
    SetForegroundWindow(other);
    const size_t before = Received().size();
    // Pressed there and dragged over a jog image, which sees cursor messages with the button held.
    MoveTo(other);
    MouseButton(true);
    MoveTo(Item(ids::JogXPlus));
    SendMessageA(Ui.mainDialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(ids::JogXPlus)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    PumpFor(400);
    MouseButton(false);
    EXPECT_EQ(ReceivedSince(before), "");
    DestroyWindow(other);
}

TEST_F(BoardJog, TypedCommandsGoOutWithEnter) {
    HWND box = Item(ids::TxtCommand);
    SetFocus(box);
    const size_t before = Received().size();
    for (char c : std::string("PR 550,-340")) Key(0, static_cast<unsigned char>(c));
    EXPECT_EQ(ReceivedSince(before), "") << "still typing";
    SendMessageA(box, EM_SETSEL, 3, 3);
    Key(VK_RETURN);
    EXPECT_EQ(ReceivedSince(before), "PR \r\n550,-340") << "the whole text, as it is";
    EXPECT_EQ(Text(box), "");
    // Pasted lines too: case, blanks and separators are the board's business.
    SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("pu;\r\n  PA 0,0;"));  // as Ctrl+V does
    EXPECT_EQ(ReceivedSince(before), "PR \r\n550,-340pu;\r\n  PA 0,0;");
}

namespace {

// setup_board.sh: the board on COM8. What it holds, as the fields show it (check boxes
// "0"/"1"): its factory values until the tests write.
std::map<int, std::string> Factory() {
    std::map<int, std::string> f = {
        {1162, "4"},   {1165, "60"}, {1167, "20"}, {1169, "4000"}, {1171, "400"}, {1173, "400"}, {1186, "0"},
        {1188, "120"}, {1190, "30"}, {1174, "0"},  {1176, "0"},    {1177, "1"},   {1178, "0"},   {1179, "0"},
        {1180, "0"},   {1182, "0"},  {1184, "0"},  {1181, "0"},    {1185, "0"}};
    for (int n = 1; n <= 9; ++n) {
        const int id = 1200 + 10 * (n - 1);
        f[id] = "4";
        f[id + 1] = "2";
        f[id + 2] = std::to_string(40 * n);
        f[id + 3] = f[n == 9 ? 1384 : id + 4] = "0";
    }
    return f;
}
std::map<int, std::string> Board = Factory();

HWND Field(int id) { return GetDlgItem(Ui.SetupDialog, id); }
bool IsCheckBox(int id) { return ClassOf(Field(id)) == "Button"; }
std::string Shown(int id) { return IsCheckBox(id) ? std::to_string(IsDlgButtonChecked(Ui.SetupDialog, id)) : Text(Field(id)); }
void Show(int id, const std::string& value) {
    if (IsCheckBox(id))
        CheckDlgButton(Ui.SetupDialog, id, value == "1" ? BST_CHECKED : BST_UNCHECKED);
    else
        SetWindowTextA(Field(id), value.c_str());
}
// Every field shows something else than the board holds.
void Scramble() {
    for (const auto& [id, value] : Board) Show(id, IsCheckBox(id) ? (value == "1" ? "0" : "1") : "x");
}
void ExpectTheBoardShown(const std::map<int, std::string>& board = Board) {
    for (const auto& [id, value] : board) EXPECT_EQ(Shown(id), value) << id;
}
void ClickButton(int id) { SendMessageA(Ui.SetupDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
std::vector<std::string> LinesSince(size_t from) {
    std::vector<std::string> lines;
    std::istringstream in(ReceivedSince(from));
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.size() - 1));
    return lines;
}
constexpr const char* kReading = "Lese 4180-Controller aus...";
constexpr const char* kWriting = "Schreibe in die Controller-Register...";

// From a helper thread: once the progress window of a transfer shows the request of a
// register beyond `after`, asks for the other transfer, which must not begin inside this one,
// and closes the window.
std::thread StopBeyond(bool reading, int after, bool& otherBegun) {
    return std::thread([=, &otherBegun] {
        WaitUntil([&] {
            const std::string text = Text(GetDlgItem(FindOwnWindow(reading ? kReading : kWriting), ids::ProgressText));
            return text.compare(0, 2, "PX") == 0 && std::stoi(text.substr(reading ? 4 : 2)) > after;
        });
        PostMessageA(Ui.SetupDialog, WM_COMMAND, reading ? ids::BtnCfgWrite : ids::BtnCfgVerify, 0);
        Sleep(200);
        otherBegun = FindOwnWindow(reading ? kWriting : kReading);
        PostMessageA(FindOwnWindow(reading ? kReading : kWriting), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
}

class BoardSetup : public testing::Test {
protected:
    void SetUp() override {
        static const bool open = OpenBoardSession(8) && CreateSetupDialog(Ui.mainDialog);
        ASSERT_TRUE(open) << "run through tests/e2e/setup_board.sh";
    }
};

}  // namespace

TEST_F(BoardSetup, ReadFillsEveryFieldWithTheBoardsValues) {
    Scramble();
    const size_t before = Received().size();
    ClickButton(ids::BtnCfgRead);
    const auto lines = LinesSince(before);
    EXPECT_EQ(lines.size(), 69u) << "shared registers are asked for once";
    EXPECT_EQ(lines[0], "PX0,2");
    ExpectTheBoardShown();
    EXPECT_EQ(BackOf(Field(1171)), RGB(0, 255, 0)) << "recoloured by its range as its text arrived";
    EXPECT_EQ(FindOwnWindow(kReading), nullptr);
}

TEST_F(BoardSetup, VerifyMarksExactlyTheChangedFields) {
    Show(1162, "5");
    Show(1177, "0");
    ClickButton(ids::BtnCfgVerify);
    for (const auto& [id, value] : Board) {
        const COLORREF same = IsCheckBox(id) ? RGB(211, 211, 211) : RGB(255, 255, 255);
        EXPECT_EQ(BackOf(Field(id)), id == 1162 || id == 1177 ? RGB(255, 255, 0) : same) << id;
    }
    EXPECT_EQ(Shown(1162), "5") << "a compare leaves the fields as they are";
}

TEST_F(BoardSetup, WriteSendsEveryRegisterThenStoresAndAReadGetsItBack) {
    Board[1162] = "12";  // typed as 12.5: ties go to the even neighbour
    Board[1171] = "2000000";
    Board[1174] = Board[1178] = Board[1384] = "1";
    Board[1202] = "";
    for (const auto& [id, value] : Board) Show(id, value);
    Show(1162, "12.5");
    // An empty tool depth is out of range: nothing is sent, not even the store command.
    size_t before = Received().size();
    bool progressShown = true;
    Hand hand("", "", nullptr, [&] { progressShown = FindOwnWindow(kWriting); });
    ClickButton(ids::BtnCfgWrite);
    ASSERT_EQ(hand.Finish().boxes.size(), 1u);
    EXPECT_EQ(hand.boxes[0].title, "Stop");
    EXPECT_EQ(hand.boxes[0].text, "Der Wert (0) im Feld für das/die Register 29\r\nist nicht im erlaubten Bereich (1...32000)\r\n");
    EXPECT_FALSE(progressShown);
    EXPECT_EQ(ReceivedSince(before), "");

    Show(1202, Board[1202] = "32000");
    before = Received().size();
    const DWORD start = GetTickCount();
    ClickButton(ids::BtnCfgWrite);
    EXPECT_GE(GetTickCount() - start, 69u * 20u) << "the registers go 25 ms apart";
    const auto lines = LinesSince(before);
    ASSERT_EQ(lines.size(), 70u);
    EXPECT_EQ(lines[0], "PX2,12");
    EXPECT_EQ(lines[69], "PX 9876,5432");
    Scramble();
    ClickButton(ids::BtnCfgRead);
    ExpectTheBoardShown();
}

TEST_F(BoardSetup, ClosingTheProgressWindowStopsATransfer) {
    // A write: the registers up to where it stood go out, and the store command all the same.
    size_t before = Received().size();
    bool otherBegun = true;
    std::thread hand = StopBeyond(false, 20, otherBegun);
    ClickButton(ids::BtnCfgWrite);
    hand.join();
    auto lines = LinesSince(before);
    ASSERT_GT(lines.size(), 20u);
    EXPECT_LT(lines.size(), 70u);
    for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].find("PX" + std::to_string(i + 2) + ","), 0u);
    EXPECT_EQ(lines.back(), "PX 9876,5432");
    EXPECT_FALSE(otherBegun) << "a read began inside the write";

    // A read ends where it stands and leaves the later fields.
    Scramble();
    hand = StopBeyond(true, 41, otherBegun);
    ClickButton(ids::BtnCfgRead);
    hand.join();
    EXPECT_FALSE(otherBegun) << "a write began inside the read";
    EXPECT_EQ(FindOwnWindow(kReading), nullptr);
    EXPECT_EQ(Shown(1202), Board[1202]) << "tool 1 comes before register 41";
    EXPECT_EQ(Shown(1282), "x") << "tool 9 comes after it";
}

TEST_F(BoardSetup, FactoryResetSendsItsLineAndTouchesNoField) {
    Scramble();
    const size_t before = Received().size();
    ClickButton(ids::BtnCfgFactoryReset);
    EXPECT_EQ(ReceivedSince(before), "PX 9876,5433\r\n");
    EXPECT_EQ(Shown(1162), "x");
    ClickButton(ids::BtnCfgRead);
    ExpectTheBoardShown(Factory());
}
