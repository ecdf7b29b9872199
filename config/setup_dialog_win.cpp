#include "config/setup_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/help_texts.h"
#include "base/language_win.h"
#include "base/message_pump_win.h"
#include "base/numbers.h"
#include "base/process_state.h"
#include "base/shell_windows_win.h"
#include "base/tooltips_win.h"
#include "config/config_files_win.h"
#include "config/field_info.h"
#include "config/register_transfer_win.h"
#include "config/setup_fields_win.h"
#include "link/board_commands.h"
#include "link/controller_search_win.h"
#include "link/transmission_win.h"
#include "res/resource_ids.h"

namespace {

using K = ControlKind;

constexpr int kEchoBitY[] = {36, 51, 67, 83, 98};  // register 6, bits 0 to 4
constexpr int kOutputRowY[] = {36, 52, 68, 84};    // register 7's boxes in table order
constexpr int kToolRowY[] = {196, 213, 230};       // Z factor, X/Y factor, depth
constexpr int kFirstToolRegister = ToolFirstRegister(1);

constexpr DWORD kTextBoxStyle = ES_AUTOHSCROLL | WS_TABSTOP;
// Caption left of the box, so that the boxes line up at the captions' right edges; focus
// changes are reported too, for the info line.
constexpr DWORD kCheckBoxStyle = BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_RIGHT | BS_VCENTER | BS_NOTIFY | WS_TABSTOP;
constexpr DWORD kImageButtonStyle = BS_PUSHBUTTON | BS_BITMAP | BS_CENTER | BS_VCENTER | WS_TABSTOP;

struct Rect {
    int x, y, w, h;
};

int IndexOf(const int* values, int count, int v) {
    for (int i = 0; i < count; ++i)
        if (values[i] == v) return i;
    return -1;
}

// Where a field sits, from its registers: the layout follows the register table.
Rect FieldRect(const FieldSpec& s, bool bit, int& outputRow) {
    if (!bit && s.reg < kFirstToolRegister) {
        const int row = IndexOf(kMotorRegisters, 9, s.reg);
        return {192, 32 + 18 * (row < 0 ? 0 : row), 52, 18};
    }
    if (s.reg == 5) return {20, 194, 185, 16};
    if (s.reg == 6) return {272, kEchoBitY[s.width >= 0 && s.width < 5 ? s.width : 0], 132, 16};
    if (s.reg == 7) return {436, kOutputRowY[outputRow < 4 ? outputRow++ : 3], 133, 16};
    const int tool = ToolOfRegister(s.reg);
    const int offset = s.reg - ToolFirstRegister(tool);  // 0 Z factor, 1 X/Y factor, 2 bits, 3 depth
    if (!bit) return {432 + 36 * (tool - 1), kToolRowY[offset == 0 ? 0 : offset == 1 ? 1 : 2], 36, 18};
    const bool wait = s.width == 0;
    if (tool == 1) return wait ? Rect{297, 250, 171, 16} : Rect{301, 265, 167, 16};
    return {477 + 36 * (tool - 2), wait ? 250 : 265, 26, 16};
}

std::string FieldName(const FieldSpec& s, bool bit) {
    return bit ? "ChkRegister" + NumberText(s.reg) + "Bit" + NumberText(s.width) : "TxtRegister" + NumberText(s.reg);
}

ControlSpec Row(int id, const std::string& name, ControlKind kind, const std::string& caption, int resource, Rect r,
                DWORD style) {
    return {id, name, kind, caption, resource, r.x, r.y, r.w, r.h, style, 0, kNoColor, ControlFont::Dialog};
}

std::vector<ControlSpec> MakeSetupControls() {
    using namespace ids;
    std::vector<ControlSpec> t;
    int outputRow = 0;
    for (const RegisterField& f : RegisterFields()) {
        const bool bit = f.kind == FieldKind::CheckBox;
        const FieldSpec s = ParseFieldSpec(FieldSpecOfCaption(f.caption));
        t.push_back(Row(f.id, FieldName(s, bit), bit ? K::CheckBox : K::TextBox, f.caption, 0,
                        FieldRect(s, bit, outputRow), bit ? kCheckBoxStyle : kTextBoxStyle));
    }
    t.push_back(Row(BtnCfgRead, "BtnCfgRead", K::ImageButton, "", IDB_CFG_READ, {4, 316, 96, 32}, kImageButtonStyle));
    t.push_back(
        Row(BtnCfgVerify, "BtnCfgVerify", K::ImageButton, "", IDB_CFG_VERIFY, {204, 316, 96, 32}, kImageButtonStyle));
    t.push_back(
        Row(BtnCfgWrite, "BtnCfgWrite", K::ImageButton, "", IDB_CFG_WRITE, {104, 316, 96, 32}, kImageButtonStyle));
    t.push_back(Row(BtnCfgLoad, "BtnCfgLoad", K::ImageButton, "", IDB_CFG_LOAD, {304, 316, 96, 32}, kImageButtonStyle));
    t.push_back(Row(BtnCfgSave, "BtnCfgSave", K::ImageButton, "", IDB_CFG_SAVE, {404, 316, 96, 32}, kImageButtonStyle));
    t.push_back(
        Row(BtnCfgSaveAs, "BtnCfgSaveAs", K::ImageButton, "", IDB_CFG_SAVE_AS, {504, 316, 96, 32}, kImageButtonStyle));
    t.push_back(Row(BtnCfgOk, "BtnCfgOk", K::PushButton, "OK", 0, {712, 316, 44, 32}, BS_PUSHBUTTON | WS_TABSTOP));

    const std::vector<FieldLabel>& labels = RegisterFieldLabels();
    const size_t motorRows = sizeof kMotorRegisters / sizeof kMotorRegisters[0];
    for (size_t i = 0; i < motorRows && i < labels.size(); ++i)
        t.push_back(Row(labels[i].id, "LblRow" + NumberText(static_cast<int64_t>(i) + 1), K::Label, labels[i].text, 0,
                        {33, 32 + 18 * static_cast<int>(i), 157, 16}, SS_RIGHT | SS_CENTERIMAGE));
    t.push_back(Row(LblToolColumns, "LblToolColumns", K::Label,
                    "WZ1   WZ2    WZ3    WZ4    WZ5    WZ6    WZ7    WZ8    WZ9", 0, {439, 180, 312, 16}, SS_LEFT));
    for (size_t i = motorRows; i < labels.size(); ++i) {
        const int row = static_cast<int>(i - motorRows);
        t.push_back(Row(labels[i].id, "LblToolRow" + NumberText(row + 1), K::Label, labels[i].text, 0,
                        {273, kToolRowY[row < 3 ? row : 2], 157, 16}, SS_RIGHT | SS_CENTERIMAGE));
    }
    t.push_back(Row(FrmMotors, "FrmMotors", K::GroupBox, " Motore, Timing ", 0, {12, 16, 236, 288}, BS_GROUPBOX));
    t.push_back(Row(FrmOutput, "FrmOutput", K::GroupBox, " Controller - Output ", 0, {268, 16, 492, 132}, BS_GROUPBOX));
    t.push_back(
        Row(FrmTools, "FrmTools", K::GroupBox, " Konfiguration Werkzeuge 1-9 ", 0, {268, 160, 492, 144}, BS_GROUPBOX));
    // A status bar docks at the bottom of its parent whatever rectangle it is given.
    t.push_back(Row(SetupStatusBar, "SetupStatusBar", K::StatusBar, "StatusBar1", 0, {0, 0, 0, 0}, 0));
    t.push_back(Row(BtnCfgFactoryReset, "BtnCfgFactoryReset", K::ImageButton, "", IDB_CFG_FACTORY_RESET,
                    {604, 316, 96, 32}, kImageButtonStyle));
    return t;
}

}  // namespace

const std::vector<ControlSpec>& SetupDialogControls() {
    static const std::vector<ControlSpec> table = MakeSetupControls();
    return table;
}

void LoadFieldSpecs(HWND dialog) {
    ClearFieldSpecs(SetupSpecs);
    std::vector<std::pair<int, HWND>> controls;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(c);
        if (id >= 1 && id <= kMaxFieldControlId) controls.push_back({id, c});
    }
    std::sort(controls.begin(), controls.end(),
              [](const std::pair<int, HWND>& a, const std::pair<int, HWND>& b) { return a.first < b.first; });
    for (const auto& [id, control] : controls) {
        const std::string caption = ControlText(control);
        const std::string shown = TakeFieldSpec(SetupSpecs, id, caption);
        if (shown != caption) SetWindowTextA(control, shown.c_str());
    }
}

HWND CreateSetupDialog(HWND parent) {
    if (SetupDialogExists()) return Ui.SetupDialog;

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT | DS_3DLOOK;
    DialogTemplate t =
        BeginDialogTemplate(style, WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, 0, 0, 10, 10, kSetupDialogCaption);
    HWND dlg = CreateDialogFromTemplate(t, parent, SharedDialogHandler);
    if (!dlg) return nullptr;
    SetWindowIcons(dlg, IDI_WINDOW);

    // Laid out in pixels; sized before the controls, so that the status bar docks right.
    const SIZE outer = OuterSizeForClient(dlg, kSetupClientWidth, kSetupClientHeight);
    CenterOnScreen(dlg, outer.cx, outer.cy);

    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0));
    for (const ControlSpec& c : SetupDialogControls())
        SendMessageA(CreateControl(dlg, c), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    for (const HelpText& tip : SetupHelpTexts()) AddTooltip(dlg, tip.id, Translate(tip.text));
    LoadFieldSpecs(dlg);

    // The dialog opens empty, and reading the board or loading a file comes first: the focus
    // goes to the read button. The handle is made known only then, so that the first text box,
    // which has the focus for a moment while the dialog is shown, is neither colored nor
    // described before the user did anything.
    ShowWindow(dlg, SW_SHOW);
    SetForegroundWindow(dlg);
    SetFocus(GetDlgItem(dlg, ids::BtnCfgRead));
    Ui.SetupDialog = dlg;
    return dlg;
}

HWND OpenSetupDialog(HWND parent) {
    if (SetupDialogExists()) return Ui.SetupDialog;
    HWND dlg = CreateSetupDialog(parent);
    if (!dlg) return nullptr;
    RunModalLoop(dlg, parent);
    return dlg;
}

void OpenSetup(HWND, int) {
    // Its modal loop would run inside the wait of the command going out, between the lines of a
    // run, inside a search or the end of a transfer whose dialog was closed: none of them could
    // go on until the dialog closed, and its transfers would mix their lines into theirs.
    if (!SetupDialogExists() && (TransmissionBusy() || SetupBusy || App.RunMode != RunModes::Idle || SearchGoingOn())) {
        MessageBoxA(Ui.MainDialog, kBoardBusyMessage, kBoardBusyTitle, MB_ICONSTOP | MB_TASKMODAL);
        return;
    }
    Ui.SetupDialog = OpenSetupDialog(Ui.MainDialog);
}

void RunSetupButton(HWND window, int id) {
    switch (id) {
        case ids::BtnCfgWrite: WriteRegisters(window); break;
        case ids::BtnCfgRead: ReadRegisters(window, ReadMode::Read); break;
        case ids::BtnCfgVerify: ReadRegisters(window, ReadMode::Verify); break;
        case ids::BtnCfgLoad: RunConfigFileOperation(window, ConfigFileOperation::Load); break;
        case ids::BtnCfgSave: RunConfigFileOperation(window, ConfigFileOperation::Save); break;
        case ids::BtnCfgSaveAs: RunConfigFileOperation(window, ConfigFileOperation::SaveAs); break;
        case ids::BtnCfgFactoryReset: RunConfigFileOperation(window, ConfigFileOperation::FactoryReset); break;
        default: break;
    }
}
