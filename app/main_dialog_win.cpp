#include "app/main_dialog_win.h"

#include <commctrl.h>
#include <mmsystem.h>

#include "app/main_tooltips_win.h"
#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"
#include "base/settings_win.h"
#include "config/setup_dialog_win.h"
#include "link/board_commands.h"
#include "link/controller_search_win.h"
#include "link/line_monitor_win.h"
#include "link/traffic_log_win.h"
#include "link/transmission_win.h"
#include "manual/direct_command_win.h"
#include "manual/jog_control_win.h"
#include "plot/image_export_win.h"
#include "plot/plot_run_win.h"
#include "plot/plot_timer_win.h"
#include "plot/preview_win.h"
#include "res/resource_ids.h"

namespace {

constexpr COLORREF kNone = kNoColor;
constexpr DWORD kTab = WS_TABSTOP;
constexpr DWORD kBmpCentered = BS_CENTER | BS_VCENTER;
constexpr DWORD kImageButton = BS_PUSHBUTTON | kTab;  // the default image-button style
constexpr DWORD kJog = SS_NOTIFY;                     // clickable images report clicks
constexpr DWORD kPosBox = ES_READONLY | ES_NUMBER | ES_RIGHT | ES_AUTOHSCROLL | kTab;
constexpr DWORD kFrame = BS_CENTER;

using K = ControlKind;
using F = ControlFont;

}  // namespace

const std::vector<ControlSpec>& MainDialogControls() {
    using namespace ids;
    static const std::vector<ControlSpec> table = {
        {BtnOpenPlot, "BtnOpenPlot", K::ImageButton, "", IDB_OPEN_PLOT, 0, 0, 32, 32, kBmpCentered | BS_NOTIFY | kTab,
         0, kNone, F::Dialog},
        {BtnFindController, "BtnFindController", K::IconButton, "", IDI_FIND_CONTROLLER, 32, 0, 32, 32,
         kBmpCentered | BS_NOTIFY | kTab, 0, kNone, F::Dialog},
        {BtnSaveImage, "BtnSaveImage", K::IconButton, "", IDI_SAVE_IMAGE, 64, 0, 32, 32, kBmpCentered | kTab, 0, kNone,
         F::Dialog},
        {BtnStep, "BtnStep", K::ImageButton, "", IDB_STEP, 68, 396, 56, 32, kImageButton, 0, kNone, F::Dialog},
        {BtnRun, "BtnRun", K::ImageButton, "", IDB_RUN, 12, 396, 56, 32, kImageButton, 0, kNone, F::Dialog},
        {BtnStop, "BtnStop", K::ImageButton, "", IDB_STOP, 124, 396, 64, 32, kImageButton, 0, kNone, F::Dialog},
        {BtnMonitor, "BtnMonitor", K::IconButton, "", IDI_MONITOR, 97, 0, 32, 32, kBmpCentered | kTab, 0, kNone,
         F::Dialog},
        {BtnSetup, "BtnSetup", K::ImageButton, "", IDB_SETUP, 130, 0, 32, 32, kBmpCentered | BS_NOTIFY | kTab, 0, kNone,
         F::Dialog},
        {BtnSettings, "BtnSettings", K::ImageButton, "", IDB_SETTINGS, 164, 0, 32, 32, kBmpCentered | BS_NOTIFY | kTab,
         0, kNone, F::Dialog},
        // Status bars dock at the bottom of their parent whatever rectangle they are given.
        {SBar1, "SBar1", K::StatusBar, "SBar1", 0, 0, 0, 0, 0, 0, 0, kNone, F::Dialog},
        {ProgressRun, "ProgressRun", K::ProgressBar, "", 0, 286, 446, 210, 22, 0, 0, kNone, F::Dialog},
        {LblControllerOn, "LblControllerOn", K::Label, "KT4180-Controller an:", 0, 19, 35, 117, 13,
         SS_RIGHT | SS_NOTIFY, 0, RGB(196, 231, 143), F::Dialog},
        {LblComPort, "LblComPort", K::Label, "COMx", 0, 142, 34, 52, 16, SS_CENTER | SS_SUNKEN | SS_NOTIFY, 0,
         RGB(255, 0, 0), F::Dialog},
        {TxtCommand, "TxtCommand", K::TextBox, "", 0, 16, 262, 168, 36,
         ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN | kTab, 0, kNone, F::BoldSmall},
        {LblCommand, "LblCommand", K::Label, "manuelles HPGL Kommando:", 0, 20, 248, 161, 14, SS_NOTIFY, 0, kNone,
         F::Dialog},
        {LblSteps, "LblSteps", K::Label, "Steps:", 0, 115, 109, 37, 16, SS_CENTER | SS_CENTERIMAGE, 0, kNone,
         F::Dialog},
        {TxtSteps, "TxtSteps", K::TextBox, "20", 0, 116, 126, 36, 20, ES_NUMBER | ES_CENTER | kTab, 0, kNone,
         F::BoldLarge},
        {FrmManual, "FrmManual", K::GroupBox, "Manuelles Fahren:", 0, 8, 52, 190, 252, kFrame, WS_EX_STATICEDGE,
         RGB(224, 224, 224), F::BoldLarge},
        {FrmAuto, "FrmAuto", K::GroupBox, "automatisches Fahren:", 0, 8, 378, 188, 58, kFrame, WS_EX_STATICEDGE,
         RGB(230, 230, 230), F::BoldSmall},
        {TxtPosX, "TxtPosX", K::TextBox, "", 0, 26, 330, 56, 16, kPosBox, 0, RGB(255, 255, 255), F::PlainSmall},
        {LblX, "LblX", K::Label, "X:", 0, 12, 332, 14, 16, 0, 0, kNone, F::BoldSmall},
        {LblY, "LblY", K::Label, "Y:", 0, 12, 348, 12, 14, 0, 0, kNone, F::BoldSmall},
        {LblZ, "LblZ", K::Label, "Z:", 0, 90, 332, 12, 18, 0, 0, kNone, F::BoldSmall},
        {TxtPosY, "TxtPosY", K::TextBox, "", 0, 26, 346, 56, 16, kPosBox, 0, RGB(255, 255, 255), F::PlainSmall},
        {TxtPosZ, "TxtPosZ", K::TextBox, "", 0, 104, 330, 56, 16, kPosBox, 0, RGB(255, 255, 255), F::PlainSmall},
        {TxtPen, "TxtPen", K::TextBox, "", 0, 104, 346, 18, 16, kPosBox, 0, RGB(255, 255, 255), F::PlainSmall},
        {LblP, "LblP", K::Label, "P:", 0, 91, 347, 12, 18, 0, 0, kNone, F::BoldSmall},
        {JogXMinusYPlus, "JogXMinusYPlus", K::Image, "", IDB_X_MINUS_Y_PLUS, 80, 72, 40, 38, kJog | SS_CENTERIMAGE, 0,
         kNone, F::Dialog},
        {JogYPlus, "JogYPlus", K::Image, "", IDB_Y_PLUS, 114, 72, 40, 38, kJog | SS_CENTERIMAGE, 0, kNone, F::Dialog},
        {JogXPlusYPlus, "JogXPlusYPlus", K::Image, "", IDB_X_PLUS_Y_PLUS, 148, 74, 40, 38, kJog | SS_CENTERIMAGE, 0,
         kNone, F::Dialog},
        {JogXMinus, "JogXMinus", K::Image, "", IDB_X_MINUS, 76, 108, 40, 38, kJog | SS_CENTERIMAGE, 0, kNone,
         F::Dialog},
        {JogXPlus, "JogXPlus", K::Image, "", IDB_X_PLUS, 150, 110, 40, 38, kJog | SS_CENTERIMAGE, 0, kNone, F::Dialog},
        {JogXMinusYMinus, "JogXMinusYMinus", K::Image, "", IDB_X_MINUS_Y_MINUS, 78, 144, 40, 38, kJog | SS_CENTERIMAGE,
         0, kNone, F::Dialog},
        {JogYMinus, "JogYMinus", K::Image, "", IDB_Y_MINUS, 114, 146, 40, 38, kJog | SS_CENTERIMAGE, 0, kNone,
         F::Dialog},
        {JogXPlusYMinus, "JogXPlusYMinus", K::Image, "", IDB_X_PLUS_Y_MINUS, 148, 144, 40, 38, kJog | SS_CENTERIMAGE, 0,
         kNone, F::Dialog},
        {JogZUp, "JogZUp", K::Image, "", IDB_Z_UP, 16, 104, 50, 50, kJog | SS_CENTERIMAGE | WS_GROUP, 0, kNone,
         F::Dialog},
        {JogZDown, "JogZDown", K::Image, "", IDB_Z_DOWN, 17, 165, 48, 48, kJog, 0, kNone, F::Dialog},
        {JogReference, "JogReference", K::Image, "", IDB_REFERENCE, 72, 192, 48, 48, kJog, 0, kNone, F::Dialog},
        {JogZeroPoint, "JogZeroPoint", K::Image, "", IDB_ZERO_POINT, 135, 192, 48, 48, kJog, 0, kNone, F::Dialog},
        {JogPenUp, "JogPenUp", K::Image, "", IDB_PEN_UP, 17, 76, 48, 27, kJog, 0, kNone, F::Dialog},
        {JogPenDown, "JogPenDown", K::Image, "", IDB_PEN_DOWN, 17, 214, 48, 26, kJog, 0, kNone, F::Dialog},
        {FrmPosition, "FrmPosition", K::GroupBox, "XYZ-Position, Werkzeug:", 0, 8, 314, 190, 58, kFrame,
         WS_EX_STATICEDGE, RGB(224, 224, 224), F::BoldSmall},
        {BtnQueryPosition, "BtnQueryPosition", K::PushButton, "X/Y/Z/P ?", 0, 124, 348, 64, 16, BS_DEFPUSHBUTTON | kTab,
         0, kNone, F::Dialog},
    };
    return table;
}

namespace {

HFONT FontFor(ControlFont f, HWND dialog) {
    switch (f) {
        case F::BoldSmall: return Ui.FontBoldSmall;
        case F::BoldLarge: return Ui.FontBoldLarge;
        case F::PlainSmall: return Ui.FontPlainSmall;
        case F::Dialog:
        case F::Courier: break;  // the main dialog has no fixed-pitch control
    }
    return reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
}

void ReleaseFonts() {
    for (HFONT* f : {&Ui.FontBoldSmall, &Ui.FontBoldLarge, &Ui.FontPlainSmall}) {
        if (*f) DeleteObject(*f);
        *f = nullptr;
    }
}

bool IsClick(int code) { return code == 0 || code == 1; }

// Each window keeps its own control: handing one window's control to another window on
// activation would pull the activation back to the window just left.
void KeepFocus(HWND window, bool activated) {
    if (!activated) {
        HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) SetPropA(window, kSavedFocusProperty, focus);
        return;
    }
    HWND saved = static_cast<HWND>(RemovePropA(window, kSavedFocusProperty));
    if (saved && IsWindow(saved) && IsChild(window, saved)) SetFocus(saved);
}

void OpenMonitor(HWND, int) { Ui.LineMonitor = OpenLineMonitor(Ui.MainDialog); }
void ToggleTrafficLog(HWND window, int) { SetTrafficLogging(window); }
void SearchController(HWND, int) { FindController(); }
void RunPlot(HWND, int id) { StartPlotRun(id); }
void OpenPlot(HWND, int) { OpenPlotFile(); }
void SaveImage(HWND, int) { SavePreviewImage(); }
void QueryPosition(HWND, int) { SendCommand(std::string(kPositionQuery) + "\r\n"); }
void EnterDirectCommand(HWND, int) { SubmitDirectCommand(); }

// OK of the setup dialog closes it at once, as its close box does: a transfer running inside
// it sees it gone and ends (a read at once, a write after the field it is in).
void CloseOnOk(HWND window, int) { CloseWindowNow(window); }

}  // namespace

std::vector<CommandRow>& CommandTable() {
    using namespace ids;
    static std::vector<CommandRow> table = {
        {BtnMonitor, true, OpenMonitor},
        {BtnSetup, true, OpenSetup},
        {BtnRun, true, RunPlot},
        {BtnStep, true, RunPlot},
        {ChkTrafficLog, false, ToggleTrafficLog},
        {TxtCommand, false, EnterDirectCommand},
        {BtnOpenPlot, true, OpenPlot},
        {BtnFindController, true, SearchController},
        {BtnSaveImage, true, SaveImage},
        {BtnQueryPosition, true, QueryPosition},
        {BtnCfgWrite, true, RunSetupButton},
        {BtnCfgRead, true, RunSetupButton},
        {BtnCfgVerify, true, RunSetupButton},
        {BtnCfgLoad, true, RunSetupButton},
        {BtnCfgSave, true, RunSetupButton},
        {BtnCfgSaveAs, true, RunSetupButton},
        {BtnCfgFactoryReset, true, RunSetupButton},
        {BtnCfgOk, false, CloseOnOk},
    };
    return table;
}

INT_PTR CALLBACK MainDialogHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: {
            RECT r;
            // A minimized window keeps its size for the preview: no rebuild at nothing, and none
            // after the restore to the same size.
            if (window == Ui.MainDialog && wParam != SIZE_MINIMIZED && GetWindowRect(Ui.MainDialog, &r)) {
                App.DialogWidth = r.right - r.left;
                App.DialogHeight = r.bottom - r.top;
            }
            // Dialogs do not dock their status bar; it re-docks when told of the new size.
            if (window == Ui.MainDialog) SendMessageA(GetDlgItem(window, ids::SBar1), WM_SIZE, 0, 0);
            return FALSE;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE && window == Ui.LineMonitor) SaveLineMonitorPosition(window);
            return FALSE;
        case WM_TIMER: PlotTimerTick(); return FALSE;
        case WM_NOTIFY:
        case WM_INITDIALOG: return FALSE;
        case WM_NCACTIVATE: KeepFocus(window, wParam != 0); return FALSE;
        case WM_DESTROY:
            ReleaseWindowImages(window);
            ForgetControlColors(window);
            return FALSE;
        case WM_NCDESTROY:
            RemovePropA(window, kSavedFocusProperty);
            // Gone for good: a run's read that walks the rest of its file after a close asks for
            // the dialog at every move, and asking about a destroyed window is slow (Wine asks
            // its server each time: a second for a 80 kB plot).
            if (window == Ui.MainDialog) Ui.MainDialog = nullptr;
            return FALSE;
        case WM_SETCURSOR:
            // The jog images act through this message; the cursor itself is left to the default.
            JogControl(GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
            return FALSE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (window == Ui.SetupDialog) ShowFieldInfo(window, id);
            for (const CommandRow& row : CommandTable()) {
                if (row.id != id) continue;
                if (row.action && (!row.needsClick || IsClick(code))) row.action(window, id);
                break;
            }
            return TRUE;
        }
        case kLinkUpdateMessage: ApplyLinkUpdate(wParam, lParam); return TRUE;
        case kPlotReadOverMessage: RunWaitingAfterPlotRead(); return TRUE;
        // What follows is the dialogs' own upkeep: control colors and closing.
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return reinterpret_cast<INT_PTR>(
                ControlColorBrush(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam)));
        case WM_ERASEBKGND:
            if (PaintDialogBackground(window, reinterpret_cast<HDC>(wParam))) {
                SetWindowLongPtrA(window, DWLP_MSGRESULT, 1);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            // Closing ends a window at once, even while an operation runs inside it; the
            // operation sees its window gone and stops. Closing the main dialog also stops a
            // run and drops a command waiting to go out: nothing more reaches the board.
            if (window == Ui.MainDialog) {
                App.RunMode = RunModes::Idle;
                DropWaitingCommand();
            }
            CloseWindowNow(window);
            return TRUE;
        default: return FALSE;
    }
}

HWND CreateMainDialog(const char* caption) {
    SharedDialogHandler = MainDialogHandler;
    // Shown only when every control exists.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME |
                        WS_CLIPSIBLINGS | DS_MODALFRAME | DS_CENTER | DS_3DLOOK | DS_NOFAILCREATE | DS_SETFONT;
    DialogTemplate t = BeginDialogTemplate(style, WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, 0, 0, 100, 100, caption);
    HWND dlg = CreateDialogFromTemplate(t, nullptr, MainDialogHandler);
    if (!dlg) return nullptr;
    Ui.MainDialog = dlg;
    CenterOnScreen(dlg, kMainDialogWidth, kMainDialogHeight);
    SetWindowIcons(dlg, IDI_MAIN);

    for (const ControlSpec& c : MainDialogControls()) CreateControl(dlg, c);

    Ui.FontBoldSmall = CreatePointFont("Arial", 8, true);
    Ui.FontBoldLarge = CreatePointFont("MS Sans Serif", 10, true);
    Ui.FontPlainSmall = CreatePointFont("Arial", 8, false);
    for (const ControlSpec& c : MainDialogControls())
        SendMessageA(GetDlgItem(dlg, c.id), WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.font, dlg)), FALSE);

    AllocateRegisterImage();
    ConfigFile();  // derives App.ConfigFilePath from the module's path

    HWND bar = GetDlgItem(dlg, ids::SBar1);
    HWND progress = GetDlgItem(dlg, ids::ProgressRun);
    // Inside the status bar, right of the percentage text of its first part.
    SetParent(progress, bar);
    SetWindowPos(progress, nullptr, 34, 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(bar, SB_SETPARTS, 6, reinterpret_cast<LPARAM>(kStatusBarEdges));

    CreateTooltips();
    return dlg;
}

void BuildMainDialog(HWND parent, const char* caption) {
    HWND dlg = CreateMainDialog(caption);
    if (!dlg) return;
    if (parent) SetWindowLongPtrA(dlg, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(parent));
    SetTimer(dlg, 0, kTimerPeriodMs, nullptr);
    ShowWindow(dlg, SW_SHOWNORMAL);
    SetForegroundWindow(dlg);
    RunModalLoop(dlg, parent);
    Ui.MainDialog = nullptr;
    ReleaseFonts();
}

void RegisterCommonControls() {
    // The flags have always been these (0x9FF); of what they register the program uses the
    // status bar, the progress bars and the tooltips.
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&icc);
}

int RunProgram(const char* caption) {
    // The waits sleep a millisecond at a time; Windows' default timer period would make each
    // such sleep 15.6 ms.
    timeBeginPeriod(1);
    RegisterCommonControls();
    BuildMainDialog(nullptr, caption);
    // The receive thread ends and is joined before the port closes and before anything it
    // writes (reply buffer, register image, receive protocol) is destroyed at exit.
    ClosePortAndStopReceiving();
    timeEndPeriod(1);
    return 0;
}
