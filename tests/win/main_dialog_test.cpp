#include "app/main_dialog_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "base/process_state.h"
#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "app/main_tooltips_win.h"
#include "base/tooltips_win.h"
#include "tests/win/win_test_util.h"

namespace {

struct Expected {
    int id;
    const char* cls;
    const char* caption;
    int x, y, w, h;
};

// Written out from the layout, not from the program's table: a slip in either shows here.
const std::vector<Expected> kLayout = {
    {1004, "Button", "", 0, 0, 32, 32},
    {1005, "Button", "", 32, 0, 32, 32},
    {1006, "Button", "", 64, 0, 32, 32},
    {1007, "Button", "", 68, 396, 56, 32},
    {1008, "Button", "", 12, 396, 56, 32},
    {1011, "Button", "", 124, 396, 64, 32},
    {1012, "Button", "", 97, 0, 32, 32},
    {1013, "Button", "", 130, 0, 32, 32},
    {1014, "Button", "", 164, 0, 32, 32},
    {1029, "msctls_statusbar32", "SBar1", -1, -1, -1, -1},
    {1036, "Static", "KT4180-Controller an:", 19, 35, 117, 13},
    {1037, "Static", "COMx", 142, 34, 52, 16},
    {1040, "Edit", "", 16, 262, 168, 36},
    {1041, "Static", "manuelles HPGL Kommando:", 20, 248, 161, 14},
    {1062, "Static", "Steps:", 115, 109, 37, 16},
    {1063, "Edit", "20", 116, 126, 36, 20},
    {1077, "Button", "Manuelles Fahren:", 8, 52, 190, 252},
    {1078, "Button", "automatisches Fahren:", 8, 378, 188, 58},
    {1079, "Edit", "", 26, 330, 56, 16},
    {1080, "Static", "X:", 12, 332, 14, 16},
    {1082, "Static", "Y:", 12, 348, 12, 14},
    {1084, "Static", "Z:", 90, 332, 12, 18},
    {1085, "Edit", "", 26, 346, 56, 16},
    {1086, "Edit", "", 104, 330, 56, 16},
    {1093, "Edit", "", 104, 346, 18, 16},
    {1094, "Static", "P:", 91, 347, 12, 18},
    {1144, "Static", "", 80, 72, 40, 38},
    {1145, "Static", "", 114, 72, 40, 38},
    {1146, "Static", "", 148, 74, 40, 38},
    {1147, "Static", "", 76, 108, 40, 38},
    {1149, "Static", "", 150, 110, 40, 38},
    {1150, "Static", "", 78, 144, 40, 38},
    {1151, "Static", "", 114, 146, 40, 38},
    {1152, "Static", "", 148, 144, 40, 38},
    {1069, "Static", "", 16, 104, 50, 50},
    {1070, "Static", "", 17, 165, 48, 48},
    {1074, "Static", "", 72, 192, 48, 48},
    {1075, "Static", "", 135, 192, 48, 48},
    {1153, "Static", "", 17, 76, 48, 27},
    {1154, "Static", "", 17, 214, 48, 26},
    {1155, "Button", "XYZ-Position, Werkzeug:", 8, 314, 190, 58},
    {1387, "Button", "X/Y/Z/P ?", 124, 348, 64, 16},
};

class MainDialog : public testing::Test {
protected:
    void SetUp() override {
        dlg = CreateMainDialog();
        ASSERT_NE(dlg, nullptr);
    }
    void TearDown() override {
        if (IsWindow(dlg)) DestroyWindow(dlg);
    }
    HWND Item(int id) { return GetDlgItem(dlg, id); }
    HWND dlg = nullptr;
};

}  // namespace

TEST_F(MainDialog, CaptionSizeStylesAndIcon) {
    EXPECT_EQ(WindowText(dlg), "XYZ-Controller KT4180 V1.31");
    RECT r;
    GetWindowRect(dlg, &r);
    EXPECT_EQ(r.right - r.left, 811);
    EXPECT_EQ(r.bottom - r.top, 472);
    const LONG style = GetWindowLongA(dlg, GWL_STYLE);
    for (DWORD bit : std::initializer_list<DWORD>{WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_THICKFRAME, WS_CLIPSIBLINGS})
        EXPECT_EQ(static_cast<DWORD>(style) & bit, bit) << std::hex << bit;
    const LONG ex = GetWindowLongA(dlg, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_CONTROLPARENT);
    EXPECT_TRUE(ex & WS_EX_APPWINDOW);
    EXPECT_NE(SendMessageA(dlg, WM_GETICON, ICON_BIG, 0), 0);
    // Centred on the screen.
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 811) / 2);
}

TEST_F(MainDialog, EveryControlInCreationOrderWithClassCaptionAndRectangle) {
    // Creation order is the order of the children, ProgressRun having moved into SBar1.
    HWND c = GetWindow(dlg, GW_CHILD);
    for (const Expected& e : kLayout) {
        ASSERT_NE(c, nullptr) << "missing " << e.id;
        EXPECT_EQ(GetDlgCtrlID(c), e.id);
        EXPECT_EQ(ClassOf(c), e.cls) << e.id;
        EXPECT_EQ(WindowText(c), e.caption) << e.id;
        if (e.x >= 0) {
            const RECT r = ChildRect(c);
            EXPECT_EQ(r.left, e.x) << e.id;
            EXPECT_EQ(r.top, e.y) << e.id;
            EXPECT_EQ(r.right - r.left, e.w) << e.id;
            EXPECT_EQ(r.bottom - r.top, e.h) << e.id;
        }
        c = GetWindow(c, GW_HWNDNEXT);
    }
    EXPECT_EQ(c, nullptr) << "a control too many";
}

TEST_F(MainDialog, StylesOfTheKinds) {
    auto style = [&](int id) { return GetWindowLongA(Item(id), GWL_STYLE); };
    EXPECT_EQ(style(ids::BtnOpenPlot) & (BS_BITMAP | BS_NOTIFY | WS_TABSTOP), BS_BITMAP | BS_NOTIFY | WS_TABSTOP);
    EXPECT_EQ(style(ids::BtnSaveImage) & (BS_ICON | BS_NOTIFY), BS_ICON);
    EXPECT_EQ(style(ids::BtnQueryPosition) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(style(ids::FrmManual) & BS_TYPEMASK, BS_GROUPBOX);
    EXPECT_EQ(style(ids::JogXPlus) & (SS_TYPEMASK | SS_NOTIFY | SS_CENTERIMAGE), SS_BITMAP | SS_NOTIFY | SS_CENTERIMAGE);
    EXPECT_TRUE(style(ids::JogZUp) & WS_GROUP);
    EXPECT_EQ(style(ids::TxtCommand) & (ES_MULTILINE | ES_WANTRETURN), ES_MULTILINE | ES_WANTRETURN);
    EXPECT_EQ(style(ids::TxtPosX) & (ES_READONLY | ES_NUMBER | ES_RIGHT), ES_READONLY | ES_NUMBER | ES_RIGHT);
    EXPECT_TRUE(style(ids::TxtSteps) & ES_NUMBER);
    EXPECT_TRUE(GetWindowLongA(Item(ids::TxtSteps), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // Every image shows its picture.
    for (int id : {ids::JogXPlus, ids::JogZUp, ids::JogPenDown})
        EXPECT_NE(SendMessageA(Item(id), STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << id;
    EXPECT_NE(SendMessageA(Item(ids::BtnRun), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_NE(SendMessageA(Item(ids::BtnMonitor), BM_GETIMAGE, IMAGE_ICON, 0), 0);
}

TEST_F(MainDialog, ColoursAndFonts) {
    EXPECT_EQ(ControlBackground(Item(ids::LblControllerOn)), RGB(196, 231, 143));
    EXPECT_EQ(ControlBackground(Item(ids::LblComPort)), RGB(255, 0, 0));
    EXPECT_EQ(ControlBackground(Item(ids::FrmManual)), RGB(224, 224, 224));
    EXPECT_EQ(ControlBackground(Item(ids::FrmAuto)), RGB(230, 230, 230));
    EXPECT_EQ(ControlBackground(Item(ids::TxtPosX)), RGB(255, 255, 255));
    EXPECT_EQ(ControlBackground(Item(ids::BtnRun)), CLR_INVALID);

    auto face = [&](int id, LOGFONTA& lf) {
        HFONT f = reinterpret_cast<HFONT>(SendMessageA(Item(id), WM_GETFONT, 0, 0));
        ASSERT_NE(f, nullptr);
        GetObjectA(f, sizeof lf, &lf);
    };
    LOGFONTA lf = {};
    face(ids::TxtCommand, lf);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    face(ids::TxtSteps, lf);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    face(ids::TxtPosY, lf);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_EQ(SendMessageA(Item(ids::LblX), WM_GETFONT, 0, 0), SendMessageA(Item(ids::FrmPosition), WM_GETFONT, 0, 0));
}

TEST_F(MainDialog, StatusBarPartsAndProgressInside) {
    HWND bar = Item(ids::SBar1);
    int edges[8] = {};
    ASSERT_EQ(SendMessageA(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 6);
    const int expected[6] = {249, 399, 549, 699, 849, 2849};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(edges[i], expected[i]) << i;

    HWND progress = GetDlgItem(bar, ids::ProgressRun);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(GetParent(progress), bar);
    const RECT r = ChildRect(progress);
    EXPECT_EQ(r.left, 34);
    EXPECT_EQ(r.top, 1);
    EXPECT_EQ(r.right - r.left, 210);
    EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), 100);
}

TEST_F(MainDialog, SizeChangesReachDialogWidthAndHeight) {
    SetWindowPos(dlg, nullptr, 0, 0, 900, 500, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(App.DialogWidth, 900);
    EXPECT_EQ(App.DialogHeight, 500);
}

namespace {
std::vector<std::pair<int, HWND>> Calls;
void Record(HWND w, int id) { Calls.push_back({id, w}); }
}  // namespace

TEST_F(MainDialog, ClicksDispatchButDoubleClicksOnlyWhereAnyNotificationCounts) {
    for (CommandRow& row : CommandTable())
        if (row.id != ids::BtnCfgOk) row.action = Record;
    auto send = [&](int id, int code) {
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
    };
    send(ids::BtnOpenPlot, BN_DOUBLECLICKED);
    send(ids::BtnQueryPosition, BN_DOUBLECLICKED);
    EXPECT_TRUE(Calls.empty());
    send(ids::BtnOpenPlot, BN_CLICKED);
    send(ids::BtnFindController, 1);  // an accelerator counts as a click
    send(ids::TxtCommand, EN_CHANGE);
    send(ids::TxtCommand, EN_SETFOCUS);
    send(ids::ChkTrafficLog, BN_DOUBLECLICKED);
    // BtnSettings and BtnStop have no command action; jog images act through the cursor.
    send(ids::BtnSettings, BN_CLICKED);
    send(ids::BtnStop, BN_CLICKED);
    send(ids::JogXPlus, STN_CLICKED);
    const std::vector<int> expected = {ids::BtnOpenPlot, ids::BtnFindController, ids::TxtCommand, ids::TxtCommand,
                                       ids::ChkTrafficLog};
    ASSERT_EQ(Calls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Calls[i].first, expected[i]);
        EXPECT_EQ(Calls[i].second, dlg);
    }
}

TEST_F(MainDialog, RunButtonsSetTheRunMode) {
    App.RunMode = RunIdle;
    EXPECT_EQ(PollRunButtons(ids::BtnRun), ids::BtnRun);
    EXPECT_EQ(App.RunMode, RunAuto);
    EXPECT_EQ(PollRunButtons(ids::BtnStep), ids::BtnStep);
    EXPECT_EQ(App.RunMode, RunStep);
    EXPECT_EQ(PollRunButtons(ids::TxtSteps), ids::TxtSteps);
    EXPECT_EQ(App.RunMode, RunStep);
    EXPECT_EQ(PollRunButtons(ids::BtnStop), ids::BtnStop);
    EXPECT_EQ(App.RunMode, RunIdle);
}

namespace {
void MouseButton(bool down) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}
void PointAt(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}
}  // namespace

// Holding the Stop button ends a run although no command message is handled meanwhile.
TEST_F(MainDialog, HeldMouseOverStopEndsARun) {
    ShowWindow(dlg, SW_SHOW);
    SetForegroundWindow(dlg);
    PumpFor(300);
    App.RunMode = RunAuto;
    PointAt(Item(ids::BtnStop));
    PumpFor(100);
    EXPECT_EQ(ControlUnderHeldMouse(), 0) << "button not held yet";
    EXPECT_EQ(PollRunButtons(0), 0);
    EXPECT_EQ(App.RunMode, RunAuto);
    MouseButton(true);
    Sleep(100);
    EXPECT_EQ(PollRunButtons(0), ids::BtnStop);
    EXPECT_EQ(App.RunMode, RunIdle);
    PointAt(Item(ids::BtnStep));
    Sleep(100);
    EXPECT_EQ(PollRunButtons(0), ids::BtnStep);
    EXPECT_EQ(App.RunMode, RunStep);
    MouseButton(false);
    PumpFor(100);
    EXPECT_EQ(ControlUnderHeldMouse(), 0);
}

TEST_F(MainDialog, FocusReturnsToTheControlThatHadIt) {
    ShowWindow(dlg, SW_SHOW);
    SetForegroundWindow(dlg);
    SetFocus(Item(ids::TxtSteps));
    SendMessageA(dlg, WM_NCACTIVATE, FALSE, 0);
    EXPECT_EQ(GetPropA(dlg, kSavedFocusProperty), Item(ids::TxtSteps));
    SetFocus(Item(ids::TxtCommand));
    SendMessageA(dlg, WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(GetFocus(), Item(ids::TxtSteps));
    EXPECT_EQ(GetPropA(dlg, kSavedFocusProperty), nullptr);
}

TEST_F(MainDialog, OkEndsTheSendingDialogOnAnyNotification) {
    HWND other = CreateMainDialog();  // any window of ours served by the handler
    ASSERT_NE(other, nullptr);
    SendMessageA(other, WM_COMMAND, MAKEWPARAM(ids::BtnCfgOk, BN_DOUBLECLICKED), 0);
    EXPECT_FALSE(IsWindow(other));
    Ui.mainDialog = dlg;
}

TEST_F(MainDialog, TimerRunsAndTheCloseBoxEndsTheModalLoop) {
    SetTimer(dlg, 0, kTimerPeriodMs, nullptr);
    ShowWindow(dlg, SW_SHOW);
    PostMessageA(dlg, WM_CLOSE, 0, 0);
    RunModalLoop(dlg, nullptr);
    EXPECT_FALSE(IsWindow(dlg));
}
