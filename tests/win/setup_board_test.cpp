// The setup dialog's transfers against the in-process board.
#include "tests/win/win_test_util.h"

#include <map>
#include <set>
#include <sstream>
#include <utility>

#include "config/register_transfer.h"
#include "config/setup_dialog_win.h"
#include "config/setup_fields_win.h"

namespace {

// What the board holds as the fields show it (check boxes "0"/"1"), from the factory on.
std::map<int, std::string> Factory() {
    std::map<int, std::string> f = {{1162, "4"},   {1165, "60"}, {1167, "20"},  {1169, "4000"}, {1171, "400"},
                                    {1173, "400"}, {1186, "0"},  {1188, "120"}, {1190, "30"},   {1177, "1"}};
    for (int id : {1174, 1176, 1178, 1179, 1180, 1181, 1182, 1184, 1185, 1384}) f[id] = "0";
    for (int tool = 0; tool < 9; ++tool) {
        const int id = 1200 + 10 * tool;
        f[id] = "4", f[id + 1] = "2", f[id + 2] = std::to_string(40 * tool + 40), f[id + 3] = "0";
        if (tool < 8) f[id + 4] = "0";
    }
    return f;
}
std::map<int, std::string> BoardValues = Factory();

constexpr const char* kReading = "Lese 4180-Controller aus...";
constexpr const char* kWriting = "Schreibe in die Controller-Register...";

HWND Field(int id) { return GetDlgItem(Ui.SetupDialog, id); }
bool IsCheckBox(int id) { return ClassOf(Field(id)) == "Button"; }
std::string Shown(int id) {
    return IsCheckBox(id) ? std::to_string(IsDlgButtonChecked(Ui.SetupDialog, id)) : ControlText(Field(id));
}
void Show(int id, const std::string& value) {
    if (IsCheckBox(id)) CheckDlgButton(Ui.SetupDialog, id, value == "1");
    if (!IsCheckBox(id)) SetWindowTextA(Field(id), value.c_str());
}
// Every field shows something else than the board holds.
void Scramble() {
    for (const auto& [id, value] : BoardValues) Show(id, IsCheckBox(id) ? (value == "1" ? "0" : "1") : "x");
}
void ExpectShown(const std::map<int, std::string>& values) {
    for (const auto& [id, value] : values) EXPECT_EQ(Shown(id), value) << id;
}
void ClickButton(int id) { SendMessageA(Ui.SetupDialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
// The lines the board received since the last look.
std::vector<std::string> TakeLines() {
    std::vector<std::string> lines;
    std::istringstream in(std::exchange(Written, ""));
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(0, line.size() - 1));
    return lines;
}

// How the user ends a transfer: the progress window's close box, the setup dialog's, or its OK.
enum class Closing { Progress, Dialog, Ok };

// From a helper thread: once a transfer's progress shows a register beyond `after`, asks for
// the other transfer, which must not begin inside this one, and closes as told.
std::thread StopBeyond(bool reading, int after, bool& otherBegun, Closing closing = Closing::Progress) {
    return std::thread([=, &otherBegun] {
        WaitUntil([&] {
            const std::string text =
                ControlText(GetDlgItem(FindOwnWindow(reading ? kReading : kWriting), ids::ProgressText));
            return text.compare(0, 2, "PX") == 0 && std::stoi(text.substr(reading ? 4 : 2)) > after;
        });
        // Handled at once when refused; a transfer begun inside this one would hold the answer.
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(Ui.SetupDialog, WM_COMMAND, reading ? ids::BtnCfgWrite : ids::BtnCfgVerify, 0, SMTO_NORMAL,
                            2000, &answer);
        otherBegun = FindOwnWindow(reading ? kWriting : kReading);
        if (closing == Closing::Ok) PostMessageA(Ui.SetupDialog, WM_COMMAND, ids::BtnCfgOk, 0);
        HWND window = closing == Closing::Dialog ? Ui.SetupDialog : FindOwnWindow(reading ? kReading : kWriting);
        if (closing != Closing::Ok) PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
}

class SetupTransfer : public testing::Test {
protected:
    void SetUp() override {
        ShowWindow(CreateMainDialog(), SW_SHOW);
        ConnectBoard();
        StartReceiveLoop(comPort);
        ASSERT_NE(CreateSetupDialog(Ui.MainDialog), nullptr);
        for (const auto& [id, value] : BoardValues) Show(id, value);
    }
    void TearDown() override { comPort = INVALID_HANDLE_VALUE; }  // the receive loop ends by itself
};

}  // namespace

TEST_F(SetupTransfer, ReadFillsEveryFieldAndVerifyMarksTheChangedOnes) {
    Scramble();
    ClickButton(ids::BtnCfgRead);
    const auto lines = TakeLines();
    EXPECT_EQ(lines.size(), 69u) << "shared registers are asked for once";
    ExpectShown(BoardValues);
    EXPECT_EQ(BackOf(Field(1171)), RGB(0, 255, 0)) << "recolored by its range as its text arrived";
    EXPECT_EQ(FindOwnWindow(kReading), nullptr);

    Show(1162, "5");
    Show(1177, "0");
    ClickButton(ids::BtnCfgVerify);
    for (const auto& [id, value] : BoardValues) {
        const COLORREF same = IsCheckBox(id) ? RGB(211, 211, 211) : RGB(255, 255, 255);
        EXPECT_EQ(BackOf(Field(id)), id == 1162 || id == 1177 ? RGB(255, 255, 0) : same) << id;
    }
    EXPECT_EQ(Shown(1162), "5") << "a compare leaves the fields as they are";
}

TEST_F(SetupTransfer, WriteSendsEveryRegisterThenStoresAndAReadGetsItBack) {
    BoardValues[1162] = "12";  // typed as 12.5: ties go to the even neighbour
    BoardValues[1171] = "2000000";
    BoardValues[1174] = BoardValues[1178] = BoardValues[1384] = "1";
    BoardValues[1202] = "";
    for (const auto& [id, value] : BoardValues) Show(id, value);
    Show(1162, "12.5");
    // An empty tool depth is out of range: nothing is sent, not even the store command.
    bool progressShown = true;
    Hand hand("", "", [&] { progressShown = FindOwnWindow(kWriting); });
    ClickButton(ids::BtnCfgWrite);
    EXPECT_EQ(hand.Said(),
              "Stop|Der Wert (0) im Feld für das/die Register 29\r\nist nicht im erlaubten Bereich (1...32000)\r\n");
    EXPECT_FALSE(progressShown);
    EXPECT_EQ(Written, "");

    Show(1202, BoardValues[1202] = "32000");
    const DWORD start = GetTickCount();
    ClickButton(ids::BtnCfgWrite);
    EXPECT_GE(GetTickCount() - start, 69u * 20u) << "the registers go 25 ms apart";
    const auto lines = TakeLines();
    ASSERT_EQ(lines.size(), 70u);
    EXPECT_EQ(lines[0] + " " + lines[69], "PX2,12 PX 9876,5432");
    Scramble();
    ClickButton(ids::BtnCfgRead);
    ExpectShown(BoardValues);
}

// Closing the progress window or the setup dialog stops a write, but never inside a field spread
// over several registers (the X null offset is 10 to 13): it is finished, then stored. A read
// ends where it stands, also by OK.
TEST_F(SetupTransfer, ClosingStopsATransferBetweenFields) {
    std::set<int> inField;  // registers whose field goes on in the next one
    for (const RegisterWrite& w : PlanWrite(SetupSpecs, CollectFieldInputs(Ui.SetupDialog)).writes)
        if (!w.lastOfField) inField.insert(w.reg);
    bool otherBegun = true;
    for (const Closing closing : {Closing::Progress, Closing::Dialog}) {
        if (!SetupDialogExists()) CreateSetupDialog(Ui.MainDialog);
        std::thread hand = StopBeyond(false, 10, otherBegun, closing);
        ClickButton(ids::BtnCfgWrite);
        hand.join();
        const auto lines = TakeLines();
        ASSERT_GT(lines.size(), 10u);
        EXPECT_LT(lines.size(), 70u);
        for (size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].find("PX" + std::to_string(i + 2) + ","), 0u);
        EXPECT_EQ(inField.count(std::stoi(lines[lines.size() - 2].substr(2))), 0u) << lines[lines.size() - 2];
        EXPECT_EQ(lines.back(), "PX 9876,5432");
        EXPECT_FALSE(otherBegun) << "a read began inside the write";
    }
    EXPECT_FALSE(SetupDialogExists());
    for (const Closing closing : {Closing::Progress, Closing::Ok}) {
        CreateSetupDialog(Ui.MainDialog);
        Scramble();
        std::thread hand = StopBeyond(true, 41, otherBegun, closing);
        ClickButton(ids::BtnCfgRead);
        hand.join();
        EXPECT_FALSE(otherBegun) << "a write began inside the read";
        EXPECT_EQ(FindOwnWindow(kReading), nullptr);
        if (closing == Closing::Ok) continue;
        EXPECT_EQ(Shown(1202), BoardValues[1202]) << "tool 1 comes before register 41";
        EXPECT_EQ(Shown(1282), "x") << "tool 9 comes after it";
    }
    EXPECT_FALSE(SetupDialogExists()) << "OK closed the dialog during the read";
}

// The factory reset asks first; No sends nothing. It touches no field.
TEST_F(SetupTransfer, FactoryResetAsksSendsItsLineAndTouchesNoField) {
    Scramble();
    for (const int answer : {IDNO, IDYES}) {
        Hand hand("", "", nullptr, answer);
        ClickButton(ids::BtnCfgFactoryReset);
        EXPECT_EQ(hand.Said(),
                  "Werkseinstellungen ?|Die Werkseinstellungen wirklich in den Controller laden?\r\n"
                  "Seine ganze jetzige Konfiguration wird dabei ersetzt.");
        EXPECT_EQ(Written, answer == IDYES ? "PX 9876,5433\r\n" : "");
    }
    EXPECT_EQ(Shown(1162), "x");
    ClickButton(ids::BtnCfgRead);
    ExpectShown(Factory());
}
