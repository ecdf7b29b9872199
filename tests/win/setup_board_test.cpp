// The setup dialog against the board simulator: run by tests/e2e/setup_board.sh, which maps
// the simulator to COM8 and says in KT_BOARD_DIR where it records the bytes it receives
// (board.raw). The tests share one setup dialog and one open port and run in order, as a
// user's session would: read, compare, write, stop, reset.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/process_state.h"
#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "app/main_dialog_win.h"
#include "config/config_file.h"
#include "config/register_table.h"
#include "config/setup_dialog_win.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"
#include "tests/win/win_test_util.h"
#include "tests/win/win_test_util.h"


namespace {

constexpr int kBoardPort = 8;
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(211, 211, 211);
constexpr COLORREF kGreen = RGB(0, 255, 0);

std::string BoardDir() {
    char buf[1024] = {};
    const DWORD n = GetEnvironmentVariableA("KT_BOARD_DIR", buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf, n) : "";
}

std::string RawLog() { return ReadFileBytes(BoardDir() + "\\board.raw"); }

// What the board received after `from` bytes, once nothing has arrived for 300 ms.
std::string ReceivedSince(size_t from) { return FileTailWhenQuiet(BoardDir() + "\\board.raw", from, 300, 5000); }

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

// The order in which a read asks for the registers: field by field in control id order,
// each register once.
std::vector<int> ReadOrder() {
    std::vector<int> order = {2, 3, 4, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 5, 6, 7,
                              18, 19, 20, 21, 22, 23, 24, 25};
    for (int b = 26; b <= 66; b += 5)
        for (int r : {b, b + 1, b + 3, b + 4, b + 2}) order.push_back(r);
    return order;
}

std::string ReadRequests(const std::vector<int>& registers) {
    std::string s;
    for (int r : registers) s += "PX0," + std::to_string(r) + "\r\n";
    return s;
}

// What the simulated board holds from the factory, by control id; check boxes as "0"/"1".
std::map<int, std::string> FactoryFields() {
    std::map<int, std::string> f = {{1162, "4"},   {1165, "60"},  {1167, "20"}, {1169, "4000"}, {1171, "400"},
                                    {1173, "400"}, {1186, "0"},   {1188, "120"}, {1190, "30"},  {1174, "0"},
                                    {1176, "0"},   {1177, "1"},   {1178, "0"},  {1179, "0"},   {1180, "0"},
                                    {1182, "0"},   {1184, "0"},   {1181, "0"},  {1185, "0"}};
    for (int n = 1; n <= 9; ++n) {
        const int id = 1200 + 10 * (n - 1);
        f[id] = "4";
        f[id + 1] = "2";
        f[id + 2] = std::to_string(40 * n);
        f[id + 3] = "0";
        f[n == 9 ? 1384 : id + 4] = "0";
    }
    return f;
}

HWND Dialog() { return Ui.SetupDialog; }
HWND Item(int id) { return GetDlgItem(Dialog(), id); }
bool IsCheckBox(int id) { return IsBitField(ParseFieldSpec(FieldSpecEntry(SetupSpecs, id))); }

// A field as the board reports it: its text, or "0"/"1" for a check box.
std::string Shown(int id) {
    if (IsCheckBox(id)) return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0";
    return WindowText(Item(id));
}

void Show(int id, const std::string& value) {
    if (IsCheckBox(id))
        SendMessageA(Item(id), BM_SETCHECK, value == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
    else
        SetWindowTextA(Item(id), value.c_str());
}

void Click(int id) {
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

// What the board holds, as the fields show it.
std::map<int, std::string> Board;

class BoardSetup : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (BoardDir().empty()) return;
        HWND main = CreateMainDialog();
        ShowWindow(main, SW_SHOW);
        HANDLE port = OpenSerialPort(kBoardPort);
        if (port == INVALID_HANDLE_VALUE) return;
        comPort = port;
        StartReceiveLoop(port);
        CreateSetupDialog(main);
        PumpFor(200);
        Board = FactoryFields();
    }
    void SetUp() override {
        if (BoardDir().empty()) GTEST_SKIP() << "run through tests/e2e/setup_board.sh";
        ASSERT_TRUE(PortIsOpen());
        ASSERT_TRUE(SetupDialogExists());
    }
};

}  // namespace

TEST_F(BoardSetup, ReadFillsEveryFieldWithTheBoardsValues) {
    for (const auto& [id, value] : Board) Show(id, IsCheckBox(id) ? (value == "1" ? "0" : "1") : "x");
    const size_t mark = RawLog().size();
    Click(ids::BtnCfgRead);
    EXPECT_EQ(ReceivedSince(mark), ReadRequests(ReadOrder()));
    EXPECT_EQ(ReadOrder().size(), 69u);
    for (const auto& [id, value] : Board) EXPECT_EQ(Shown(id), value) << id;
    // Each text box was recoloured by its range as its text arrived.
    EXPECT_EQ(ControlBackground(Item(1171)), kGreen);
    EXPECT_EQ(FindOwnWindow("Lese 4180-Controller aus..."), nullptr);
    EXPECT_EQ(App.RegisterImage[10].load(), 144);  // 400 = 1 * 256 + 144
    EXPECT_EQ(App.RegisterImage[11].load(), 1);
}

TEST_F(BoardSetup, VerifyMarksExactlyTheChangedFields) {
    Show(1162, "5");
    Show(1177, "0");
    const size_t mark = RawLog().size();
    Click(ids::BtnCfgVerify);
    EXPECT_EQ(ReceivedSince(mark), ReadRequests(ReadOrder()));
    for (const auto& entry : SetupSpecs.SpecTable) {
        const int id = entry.first;
        const bool changed = id == 1162 || id == 1177;
        const COLORREF same = IsCheckBox(id) ? kLightGrey : kWhite;
        EXPECT_EQ(ControlBackground(Item(id)), changed ? kYellow : same) << id;
        EXPECT_EQ(ControlTextColor(Item(id)), RGB(0, 0, 0)) << id;
    }
    // A compare leaves the fields as they were.
    EXPECT_EQ(Shown(1162), "5");
    EXPECT_EQ(Shown(1177), "0");
    // The next notification of a text box gives it its range colour back.
    SetFocus(Item(1162));
    EXPECT_EQ(ControlBackground(Item(1162)), kGreen);
}

TEST_F(BoardSetup, WriteSendsEveryRegisterInOrderThenStoresAndAReadGetsItBack) {
    Board[1162] = "12";  // typed as 12.5: ties go to the even neighbour
    Board[1165] = "14";  // typed as 13.5
    Board[1171] = "2000000";
    Board[1174] = "1";
    Board[1177] = "1";
    Board[1178] = "0";
    Board[1202] = "32000";
    Board[1384] = "1";
    for (const auto& [id, value] : Board) Show(id, value);
    Show(1162, "12.5");
    Show(1165, "13.5");

    const size_t mark = RawLog().size();
    const DWORD start = GetTickCount();
    Click(ids::BtnCfgWrite);
    const DWORD took = GetTickCount() - start;
    const std::vector<std::string> lines = Lines(ReceivedSince(mark));
    ASSERT_EQ(lines.size(), 70u);
    for (int r = 2; r <= 70; ++r) {
        const std::string& line = lines[static_cast<size_t>(r - 2)];
        EXPECT_EQ(line.substr(0, line.find(',') + 1), "PX" + std::to_string(r) + ",") << line;
    }
    EXPECT_EQ(lines[69], "PX 9876,5432");
    EXPECT_EQ(lines[0], "PX2,12");
    EXPECT_EQ(lines[1], "PX3,14");
    EXPECT_EQ(lines[3], "PX5,1");
    EXPECT_EQ(lines[4], "PX6,2");  // only bit 1; the bits no field names stay 0
    EXPECT_EQ(lines[5], "PX7,0");
    EXPECT_EQ(lines[8], "PX10,128");
    EXPECT_EQ(lines[9], "PX11,132");
    EXPECT_EQ(lines[10], "PX12,30");
    EXPECT_EQ(lines[11], "PX13,0");
    EXPECT_EQ(lines[27], "PX29,0");  // 32000 = 125 * 256
    EXPECT_EQ(lines[28], "PX30,125");
    EXPECT_EQ(lines[66], "PX68,2");
    EXPECT_GE(took, 69u * 25u) << "one register every 25 ms";
    EXPECT_EQ(FindOwnWindow("Schreibe in die Controller-Register..."), nullptr);

    for (const auto& [id, value] : Board) Show(id, IsCheckBox(id) ? "0" : "");
    Click(ids::BtnCfgRead);
    for (const auto& [id, value] : Board) EXPECT_EQ(Shown(id), value) << id;
}

TEST_F(BoardSetup, EmptyToolDepthStopsTheWriteBeforeAnythingIsSent) {
    Show(1202, "");
    bool progressGone = false;
    const size_t mark = RawLog().size();
    BoxWatcher box(10000, nullptr,
                   [&] { progressGone = !FindOwnWindow("Schreibe in die Controller-Register..."); });
    Click(ids::BtnCfgWrite);
    box.Wait();
    EXPECT_EQ(box.title, "Stop");
    EXPECT_EQ(box.text,
              "Der Wert (0) im Feld für das/die Register 29\r\nist nicht im erlaubten Bereich (1...32000)\r\n");
    EXPECT_TRUE(progressGone);
    EXPECT_EQ(ReceivedSince(mark), "") << "not even the store command";
    Show(1202, Board[1202]);
}

namespace {
std::string StopText;
}  // namespace

TEST_F(BoardSetup, ClosingTheProgressWindowStopsAWriteButStillStores) {
    StopText.clear();
    TimedSteps steps(10, [](int) {
        HWND progress = FindOwnWindow("Schreibe in die Controller-Register...");
        const std::string text = progress ? WindowText(GetDlgItem(progress, ids::ProgressText)) : "";
        if (text.compare(0, 2, "PX") != 0 || std::stoi(text.substr(2)) < 20) return true;
        StopText = text;
        SendMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
        return false;
    });
    const size_t mark = RawLog().size();
    Click(ids::BtnCfgWrite);
    ASSERT_FALSE(StopText.empty());
    const int last = std::stoi(StopText.substr(2));
    const std::vector<std::string> lines = Lines(ReceivedSince(mark));
    ASSERT_EQ(lines.size(), static_cast<size_t>(last - 2 + 2));
    for (int r = 2; r <= last; ++r)
        EXPECT_EQ(lines[static_cast<size_t>(r - 2)].substr(0, std::to_string(r).size() + 3),
                  "PX" + std::to_string(r) + ",");
    EXPECT_EQ(lines.back(), "PX 9876,5432");
}

TEST_F(BoardSetup, ClosingTheProgressWindowStopsAReadAndLeavesTheLaterFields) {
    for (const auto& [id, value] : Board) Show(id, IsCheckBox(id) ? (value == "1" ? "0" : "1") : "x");
    StopText.clear();
    TimedSteps steps(10, [](int) {
        HWND progress = FindOwnWindow("Lese 4180-Controller aus...");
        const std::string text = progress ? WindowText(GetDlgItem(progress, ids::ProgressText)) : "";
        if (text.compare(0, 4, "PX0,") != 0 || std::stoi(text.substr(4)) < 41) return true;
        StopText = text;
        SendMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
        return false;
    });
    const size_t mark = RawLog().size();
    Click(ids::BtnCfgRead);
    ASSERT_FALSE(StopText.empty());
    const int waitedFor = std::stoi(StopText.substr(4));
    const std::vector<int> order = ReadOrder();
    size_t stop = 0;
    while (stop < order.size() && order[stop] != waitedFor) ++stop;
    ASSERT_LT(stop, order.size());
    // The read asked for nothing after the register it was waiting for.
    EXPECT_EQ(ReceivedSince(mark), ReadRequests(std::vector<int>(order.begin(), order.begin() + stop + 1)));
    EXPECT_EQ(FindOwnWindow("Lese 4180-Controller aus..."), nullptr);

    auto position = [&](int reg) {
        for (size_t i = 0; i < order.size(); ++i)
            if (order[i] == reg) return i;
        return order.size();
    };
    int filled = 0, untouched = 0;
    for (const auto& [id, value] : Board) {
        size_t last = 0;
        for (int reg : FieldRegisters(ParseFieldSpec(FieldSpecEntry(SetupSpecs, id))))
            last = std::max(last, position(reg));
        if (last < stop) {
            EXPECT_EQ(Shown(id), value) << id;
            ++filled;
        } else {
            EXPECT_EQ(Shown(id), IsCheckBox(id) ? (value == "1" ? "0" : "1") : "x") << id;
            ++untouched;
        }
    }
    EXPECT_GE(filled, 19 + 15);  // at least the upper groups and tools 1 to 3
    EXPECT_GE(untouched, 5);
}

TEST_F(BoardSetup, FactoryResetSendsItsLineAndTouchesNoField) {
    for (const auto& [id, value] : Board) Show(id, IsCheckBox(id) ? "1" : "7");
    ControllerFilePath.clear();
    const size_t mark = RawLog().size();
    Click(ids::BtnCfgFactoryReset);
    EXPECT_EQ(ReceivedSince(mark), "PX 9876,5433\r\n");
    for (const auto& [id, value] : Board) EXPECT_EQ(Shown(id), IsCheckBox(id) ? "1" : "7") << id;
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, dir);
    EXPECT_EQ(ControllerFilePath, std::string(dir) + (std::string(dir).back() == '\\' ? "" : "\\") + "default.cfg");

    // The board has its own values again.
    Click(ids::BtnCfgRead);
    for (const auto& [id, value] : FactoryFields()) EXPECT_EQ(Shown(id), value) << id;
}
