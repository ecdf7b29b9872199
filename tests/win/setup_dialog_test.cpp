// The setup dialog without a board: layout, field specs, info line and range colours, the
// modal loop from the main dialog, and a read that waits for an answer that never comes.
#include "config/setup_dialog_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "base/process_state.h"
#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "app/main_dialog_win.h"
#include "app/main_tooltips_win.h"
#include "base/tooltips_win.h"
#include "config/field_info.h"
#include "config/register_transfer.h"
#include "config/register_transfer_win.h"
#include "tests/win/win_test_util.h"
#include "tests/win/win_test_util.h"


namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// Tool n's five fields: Z factor, X/Y factor, depth, wait bit, retract bit.
std::vector<int> ToolIds(int n) {
    const int id = 1200 + 10 * (n - 1);
    return {id, id + 1, id + 2, id + 3, n == 9 ? 1384 : id + 4};
}

std::string StatusText(HWND dlg) {
    char buf[512] = {};
    SendDlgItemMessageA(dlg, ids::SetupStatusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(buf));
    return buf;
}

// Types into a text box as the keyboard would, without moving the real keyboard focus.
void TypeInto(HWND edit, const std::string& text) {
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    for (char c : text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
}

bool SameBitmap(HBITMAP a, HBITMAP b) {
    BITMAP ba = {}, bb = {};
    if (!GetObjectA(a, sizeof ba, &ba) || !GetObjectA(b, sizeof bb, &bb)) return false;
    if (ba.bmWidth != bb.bmWidth || ba.bmHeight != bb.bmHeight) return false;
    const LONG size = ba.bmWidthBytes * ba.bmHeight;
    std::vector<char> pa(static_cast<size_t>(size)), pb(static_cast<size_t>(size));
    return GetBitmapBits(a, size, pa.data()) == size && GetBitmapBits(b, size, pb.data()) == size && pa == pb;
}

class SetupDialog : public testing::Test {
protected:
    void SetUp() override {
        main = CreateMainDialog();
        ASSERT_NE(main, nullptr);
        ShowWindow(main, SW_SHOW);
    }
    void Open() {
        dlg = CreateSetupDialog(main);
        ASSERT_NE(dlg, nullptr);
        PumpFor(100);
    }
    HWND Item(int id) { return GetDlgItem(dlg, id); }
    HWND main = nullptr;
    HWND dlg = nullptr;
};

}  // namespace

TEST_F(SetupDialog, BuiltInPixelsWithItsControlsInCreationAndTabOrder) {
    Open();
    EXPECT_EQ(WindowText(dlg), "Setup Controller");
    RECT client;
    GetClientRect(dlg, &client);
    EXPECT_EQ(client.right, 764);
    EXPECT_EQ(client.bottom, 376);
    EXPECT_TRUE(GetWindowLongA(dlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(GetWindowLongA(dlg, GWL_STYLE) & WS_MINIMIZEBOX);
    EXPECT_EQ(GetWindow(dlg, GW_OWNER), main);
    EXPECT_NE(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(Ui.SetupDialog, dlg);

    std::vector<int> expected = {1162, 1165, 1167, 1169, 1171, 1173, 1186, 1188, 1190, 1174,
                                 1176, 1177, 1178, 1179, 1180, 1182, 1184, 1181, 1185};
    for (int n = 1; n <= 9; ++n)
        for (int id : ToolIds(n)) expected.push_back(id);
    for (int id : {1157, 1385, 1156, 1158, 1159, 1160, 1161, 1163, 1164, 1166, 1168, 1170, 1172, 1187, 1189, 1191,
                   1340, 1193, 1195, 1197, 1344, 1343, 1342, 1386, 1388})
        expected.push_back(id);
    std::vector<int> created;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) created.push_back(GetDlgCtrlID(c));
    EXPECT_EQ(created, expected);

    // Tabbing walks the fields, then the buttons; labels, frames and the status bar are skipped.
    std::vector<int> tabs;
    HWND first = Item(1162);
    HWND c = first;
    do {
        tabs.push_back(GetDlgCtrlID(c));
        c = GetNextDlgTabItem(dlg, c, FALSE);
    } while (c && c != first && tabs.size() < 200);
    std::vector<int> tabExpected(expected.begin(), expected.begin() + 64 + 7);
    tabExpected.push_back(1388);
    EXPECT_EQ(tabs, tabExpected);

    struct Place {
        int id, x, y, w, h;
    };
    const Place places[] = {
        {1162, 192, 32, 52, 18},  {1190, 192, 176, 52, 18},  {1163, 33, 32, 157, 16},  {1191, 33, 176, 157, 16},
        {1174, 20, 194, 185, 16}, {1176, 272, 36, 132, 16},  {1180, 272, 98, 132, 16}, {1182, 436, 36, 133, 16},
        {1181, 436, 68, 133, 16}, {1185, 436, 84, 133, 16},  {1340, 439, 180, 312, 16}, {1193, 273, 196, 157, 16},
        {1197, 273, 230, 157, 16}, {1200, 432, 196, 36, 18}, {1201, 432, 213, 36, 18}, {1202, 432, 230, 36, 18},
        {1282, 720, 230, 36, 18}, {1203, 297, 250, 171, 16}, {1204, 301, 265, 167, 16}, {1213, 477, 250, 26, 16},
        {1214, 477, 265, 26, 16}, {1384, 729, 265, 26, 16},  {1344, 12, 16, 236, 288},  {1343, 268, 16, 492, 132},
        {1342, 268, 160, 492, 144}, {1157, 4, 316, 96, 32},  {1156, 104, 316, 96, 32}, {1385, 204, 316, 96, 32},
        {1158, 304, 316, 96, 32}, {1159, 404, 316, 96, 32},  {1160, 504, 316, 96, 32}, {1388, 604, 316, 96, 32},
        {1161, 712, 316, 44, 32},
    };
    for (const Place& p : places) {
        const RECT r = ChildRect(Item(p.id));
        EXPECT_EQ(r.left, p.x) << p.id;
        EXPECT_EQ(r.top, p.y) << p.id;
        EXPECT_EQ(r.right - r.left, p.w) << p.id;
        EXPECT_EQ(r.bottom - r.top, p.h) << p.id;
    }
    const RECT bar = ChildRect(Item(ids::SetupStatusBar));
    EXPECT_EQ(bar.bottom, 376);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.right, 764);
    EXPECT_GT(bar.top, 348);
}

TEST_F(SetupDialog, SpecsLeaveTheCaptionsAndTheDialogOpensUntouched) {
    Open();
    EXPECT_EQ(SetupSpecs.FieldCount, 64);
    EXPECT_EQ(FieldSpecEntry(SetupSpecs, 1162), "2,1,2,125§Zeit für einen Motorschritt x 0.128ms");
    EXPECT_EQ(FieldSpecEntry(SetupSpecs, 1384), "68,1,0,0§Z-  =  Z+  (Herausfahrtempo=Eintauchtempo)");
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        EXPECT_EQ(WindowText(c).find('\xA7'), std::string::npos) << GetDlgCtrlID(c);
        // Nothing is coloured before the user touches a field.
        EXPECT_EQ(ControlBackground(c), CLR_INVALID) << GetDlgCtrlID(c);
    }
    EXPECT_EQ(WindowText(Item(1162)), "");
    EXPECT_EQ(WindowText(Item(1174)), "Halbschrittbetrieb (5/0)");
    EXPECT_EQ(WindowText(Item(1185)), "Kommando-Echo (7/7)");
    EXPECT_EQ(WindowText(Item(1203)), "n. WZ-Wechsel: Taste drücken");
    EXPECT_EQ(WindowText(Item(1204)), "Zminus = Zplus - Tempo");
    EXPECT_EQ(WindowText(Item(1213)), "");
    EXPECT_EQ(WindowText(Item(1163)), "Motorschritt-Takt *128ys (2)");
    EXPECT_EQ(WindowText(Item(1191)), "Fräser aus nach Sek (24..25)");
    EXPECT_EQ(WindowText(Item(1197)), "Z-Weg ab Z-Null");
    EXPECT_EQ(WindowText(Item(1344)), " Motore, Timing ");
    EXPECT_EQ(WindowText(Item(1342)), " Konfiguration Werkzeuge 1-9 ");
    EXPECT_EQ(WindowText(Item(1161)), "OK");
    EXPECT_EQ(StatusText(dlg), "StatusBar1");
    for (int n = 1; n <= 9; ++n)
        for (int id : ToolIds(n)) EXPECT_EQ(SendMessageA(Item(id), BM_GETCHECK, 0, 0), BST_UNCHECKED) << id;

    const LONG check = GetWindowLongA(Item(1213), GWL_STYLE);
    EXPECT_EQ(check & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_TRUE(check & BS_LEFTTEXT);
    EXPECT_TRUE(check & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongA(Item(1202), GWL_STYLE) & ES_AUTOHSCROLL);
    EXPECT_TRUE(GetWindowLongA(Item(1202), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(ClassOf(Item(1202)), "Edit");
}

TEST_F(SetupDialog, ButtonsShowTheirBitmapsAndExplainThemselves) {
    Open();
    struct Button {
        int id, bitmap;
        const char* tip;
    };
    const Button buttons[] = {
        {ids::BtnCfgRead, 1151, "Controller auslesen"},
        {ids::BtnCfgWrite, 1150, "Konfiguration im\r\nController speichern"},
        {ids::BtnCfgVerify, 1156, "Controller gegen Konfiguration prüfen"},
        {ids::BtnCfgLoad, 1153, "Konfiguration aus\r\nDatei einlesen"},
        {ids::BtnCfgSave, 1152, "Konfiguration in\r\nDatei speichern"},
        {ids::BtnCfgSaveAs, 1154, "Konfiguration in einer\r\nneuen Datei speichern"},
        {ids::BtnCfgFactoryReset, 1157, "Reset Controller\r\n(Werkseinstellungen)"},
    };
    for (const Button& b : buttons) {
        auto shown = reinterpret_cast<HBITMAP>(SendMessageA(Item(b.id), BM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(shown, nullptr) << b.id;
        auto resource = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(b.bitmap), IMAGE_BITMAP, 0, 0, 0));
        BITMAP bm = {};
        GetObjectA(shown, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 96) << b.id;
        EXPECT_EQ(bm.bmHeight, 32) << b.id;
        EXPECT_TRUE(SameBitmap(shown, resource)) << b.id << " shows the wrong bitmap";
        DeleteObject(resource);
        EXPECT_EQ(TipOf(Item(b.id)), b.tip) << b.id;
    }
    EXPECT_EQ(TipOf(Item(ids::BtnCfgOk)), "");
}

TEST_F(SetupDialog, InfoLineAndRangeColourFollowTheTyping) {
    Open();
    HWND step = Item(1162);
    TypeInto(step, "1");
    EXPECT_EQ(StatusText(dlg), "KT4180-Register: 2 = 1,  Wertebereich von 2 bis 125   ");
    EXPECT_EQ(ControlBackground(step), kRed);
    EXPECT_EQ(ControlTextColor(step), RGB(0, 0, 0));
    TypeInto(step, "12");
    EXPECT_EQ(StatusText(dlg), "KT4180-Register: 2 = 12,  Wertebereich von 2 bis 125   ");
    EXPECT_EQ(ControlBackground(step), kGreen);

    TypeInto(Item(1171), "12000");
    EXPECT_EQ(StatusText(dlg),
              "KT4180-Register: 10...13 = 12000,  Wertebereich von 0 bis 2000000     ( 12000 HPGL-Schritte = "
              "300.00mm)");
    TypeInto(Item(1202), "-5");
    EXPECT_EQ(StatusText(dlg),
              "KT4180-Register: 29...30 =-5,  Wertebereich von 1 bis 32000     (-5 HPGL-Schritte = -0.13mm)");
    EXPECT_EQ(ControlBackground(Item(1202)), kRed);

    // Entering an empty field counts it as 0.
    SetFocus(Item(1188));
    EXPECT_EQ(ControlBackground(Item(1188)), kGreen);
    EXPECT_EQ(StatusText(dlg), "KT4180-Register: 22...23 = 0,  Wertebereich von 0 bis 32000   ");
    SetFocus(Item(1169));
    EXPECT_EQ(ControlBackground(Item(1169)), kRed);
    EXPECT_EQ(ControlBackground(Item(1165)), CLR_INVALID) << "not touched";

    // A check box: register, bit and description; its colours stay.
    SendMessageA(Item(1181), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(Item(1181), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(StatusText(dlg), "KT4180-Register: 7, Bit: 6  Debug-Mode: keine Aktion der Maschine");
    EXPECT_EQ(ControlBackground(Item(1181)), CLR_INVALID);
    SetFocus(Item(1384));
    EXPECT_EQ(StatusText(dlg), "KT4180-Register: 68, Bit: 1  Z-  =  Z+  (Herausfahrtempo=Eintauchtempo)");

    // Buttons carry no spec, and the same ids in another window are not the setup dialog's.
    const std::string before = StatusText(dlg);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgRead, BN_SETFOCUS), 0);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(1162, EN_CHANGE), 0);
    EXPECT_EQ(StatusText(dlg), before);
}

namespace {
HWND Opened = nullptr;
int SetupWindowsSeen = 0;
bool MainDisabledWhileOpen = false;
}  // namespace

// BtnSetup opens the dialog modally; a second request while it is open builds nothing, and the
// close box ends it as OK does.
TEST_F(SetupDialog, SecondOpenRequestBuildsNoSecondDialogAndTheCloseBoxEndsIt) {
    TimedSteps steps(150, [this](int n) {
        if (n == 0) {
            Opened = Ui.SetupDialog;
            MainDisabledWhileOpen = !IsWindowEnabled(main);
            PostMessageA(main, WM_COMMAND, MAKEWPARAM(ids::BtnSetup, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(main, ids::BtnSetup)));
            return true;
        }
        SetupWindowsSeen = CountOwnWindows("Setup Controller");
        PostMessageA(Opened, WM_SYSCOMMAND, SC_CLOSE, 0);
        return false;
    });
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(ids::BtnSetup, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, ids::BtnSetup)));
    ASSERT_NE(Opened, nullptr);
    EXPECT_TRUE(MainDisabledWhileOpen);
    EXPECT_EQ(SetupWindowsSeen, 1);
    EXPECT_EQ(Ui.SetupDialog, Opened);
    EXPECT_FALSE(IsWindow(Opened));
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_EQ(CountOwnWindows("Setup Controller"), 0);

    // Built anew the next time, and OK ends it too.
    Opened = nullptr;
    TimedSteps ok(150, [](int) {
        Opened = Ui.SetupDialog;
        SendMessageA(GetDlgItem(Opened, ids::BtnCfgOk), BM_CLICK, 0, 0);
        return false;
    });
    EXPECT_EQ(OpenSetupDialog(main), Opened);
    EXPECT_FALSE(IsWindow(Opened));
    EXPECT_EQ(SetupSpecs.FieldCount, 64);
}

namespace {
std::string WaitingText;
int WaitingBar = -1;
}  // namespace

// Without a board nothing answers: the read waits for register 2 until the user closes the
// progress window, and a second transfer started meanwhile is not begun.
TEST_F(SetupDialog, ReadWaitsWithoutTimeOutUntilTheProgressWindowIsClosed) {
    Open();
    for (const auto& entry : SetupSpecs.SpecTable) SetFieldInput(dlg, entry.first, {"7", true});
    TimedSteps steps(500, [this](int n) {
        if (n == 0) {
            PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgWrite, BN_CLICKED), 0);
            return true;
        }
        if (n < 4) return true;  // two seconds: no time-out cut the wait short
        HWND progress = FindOwnWindow("Lese 4180-Controller aus...");
        if (!progress) return false;
        WaitingText = WindowText(GetDlgItem(progress, ids::ProgressText));
        WaitingBar = static_cast<int>(SendDlgItemMessageA(progress, ids::ProgressBar, PBM_GETPOS, 0, 0));
        EXPECT_EQ(FindOwnWindow("Schreibe in die Controller-Register..."), nullptr);
        if (HWND box = FindMessageBox()) {
            ADD_FAILURE() << "a write ran inside the read: " << WindowText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
        return false;
    });
    const DWORD start = GetTickCount();
    ReadRegisters(dlg, Read);
    EXPECT_GE(GetTickCount() - start, 2000u);
    EXPECT_EQ(WaitingText, "PX0,2" + std::string(15 + 3, ' ') + "1.56%");
    EXPECT_EQ(WaitingBar, 2);
    EXPECT_EQ(FindOwnWindow("Lese 4180-Controller aus..."), nullptr);
    for (const auto& entry : SetupSpecs.SpecTable) {
        if (IsBitField(ParseFieldSpec(entry.second)))
            EXPECT_EQ(SendMessageA(Item(entry.first), BM_GETCHECK, 0, 0), BST_CHECKED) << entry.first;
        else
            EXPECT_EQ(WindowText(Item(entry.first)), "7") << entry.first;
    }
    EXPECT_EQ(App.RegisterImage[2].load(), -1);
    EXPECT_FALSE(SetupBusy);
}
