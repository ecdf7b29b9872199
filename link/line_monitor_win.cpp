#include "link/line_monitor_win.h"

#include <vector>

#include "base/control_ids.h"
#include "base/controls_win.h"
#include "base/dialog_template_win.h"
#include "base/help_texts.h"
#include "base/language_win.h"
#include "base/numbers.h"
#include "base/settings_win.h"
#include "base/shell_windows_win.h"
#include "base/tooltips_win.h"
#include "link/line_monitor.h"
#include "res/resource_ids.h"

uint32_t txByteCount = 0;

namespace {

constexpr int kCreatedLeft = 233;
constexpr int kCreatedTop = 93;
constexpr int kClientWidth = 231;
constexpr int kClientHeight = 395;
constexpr COLORREF kLabelGreen = RGB(196, 231, 143);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kNone = kNoColor;

constexpr DWORD kCountBox = ES_READONLY | ES_NUMBER | ES_RIGHT;
constexpr DWORD kDataBox = ES_MULTILINE | ES_READONLY | ES_WANTRETURN;

const std::vector<ControlSpec>& MonitorControls() {
    using namespace ids;
    using K = ControlKind;
    using F = ControlFont;
    static const std::vector<ControlSpec> table = {
        {LblToController, "LblToController", K::Label, "Daten zum Controller:", 0, 2, 2, 108, 16, SS_CENTER, 0,
         kLabelGreen, F::Dialog},
        {LblTxByteCount, "LblTxByteCount", K::Label, "Byte-Count:", 0, 120, 2, 60, 16, SS_CENTER, 0, kLabelGreen,
         F::Dialog},
        {TxtTxCount, "TxtTxCount", K::TextBox, "", 0, 180, 2, 48, 16, kCountBox, 0, kNone, F::Dialog},
        {TxtMonitorTx, "TxtMonitorTx", K::TextBox, "", 0, 4, 18, 224, 156, kDataBox, 0, kWhite, F::Courier},
        {LblFromController, "LblFromController", K::Label, "Vom Controller:", 0, 2, 176, 108, 16, SS_CENTER, 0,
         kLabelGreen, F::Dialog},
        {LblRxByteCount, "LblRxByteCount", K::Label, "Byte-Count:", 0, 120, 176, 60, 16, SS_CENTER, 0, kLabelGreen,
         F::Dialog},
        {TxtRxCount, "TxtRxCount", K::TextBox, "", 0, 180, 176, 48, 16, kCountBox, 0, kNone, F::Dialog},
        {TxtMonitorRx, "TxtMonitorRx", K::TextBox, "", 0, 4, 192, 224, 180, kDataBox, 0, kWhite, F::Courier},
        // No BS_NOTIFY: every notification of the box restarts the recording, and focus
        // changes must not do that.
        {ChkTrafficLog, "ChkTrafficLog", K::CheckBox, "RX-TX-Protokoll", 0, 4, 374, 218, 16,
         BS_AUTOCHECKBOX | WS_TABSTOP, 0, kNone, F::Dialog},
    };
    return table;
}

// Made at the first opening and kept: every monitor of the run uses it.
HFONT MonitorFont = nullptr;

HFONT CourierFont() {
    if (!MonitorFont) MonitorFont = CreatePointFont("Courier New", 8, false, FIXED_PITCH | FF_MODERN);
    return MonitorFont;
}

void ShowAtEnd(HWND box, const std::string& text) {
    SetWindowTextA(box, text.c_str());
    SendMessageA(box, EM_LINESCROLL, 0, 32767);
}

// The window's top-left corner in screen pixels; for a minimized window the corner it is
// restored to, since the minimized corner lies far off the screen.
bool RestoredCorner(HWND window, int& left, int& top) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    left = r.left;
    top = r.top;
    if (!IsIconic(window)) return true;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(window, &wp)) return true;
    // The restored rectangle counts from the work area, which a task bar can shift.
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    POINT shift = {0, 0};
    if (GetMonitorInfoA(MonitorFromRect(&wp.rcNormalPosition, MONITOR_DEFAULTTONEAREST), &mi))
        shift = {mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top};
    left = wp.rcNormalPosition.left + shift.x;
    top = wp.rcNormalPosition.top + shift.y;
    return true;
}

}  // namespace

bool LineMonitorExists() { return Ui.LineMonitor && IsWindow(Ui.LineMonitor); }

HWND OpenLineMonitor(HWND parent) {
    if (LineMonitorExists()) return Ui.LineMonitor;

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT | DS_3DLOOK;
    DialogTemplate t = BeginDialogTemplate(style, WS_EX_APPWINDOW, 0, 0, 10, 10, "Line-Monitor");
    HWND w = CreateDialogFromTemplate(t, parent, SharedDialogHandler);
    if (!w) return nullptr;
    Ui.LineMonitor = w;
    SetWindowIcons(w, IDI_WINDOW);

    // The template is laid out in dialog units; the monitor is measured in pixels.
    const SIZE outer = OuterSizeForClient(w, kClientWidth, kClientHeight);
    SetWindowPos(w, nullptr, kCreatedLeft, kCreatedTop, outer.cx, outer.cy, SWP_NOZORDER | SWP_NOACTIVATE);

    const WPARAM dialogFont = static_cast<WPARAM>(SendMessageA(w, WM_GETFONT, 0, 0));
    for (const ControlSpec& c : MonitorControls()) {
        HWND control = CreateControl(w, c);
        if (!control) continue;
        const bool courier = c.font == ControlFont::Courier;
        SendMessageA(control, WM_SETFONT, courier ? reinterpret_cast<WPARAM>(CourierFont()) : dialogFont, FALSE);
    }

    int left = 0, top = 0;
    ParseMonitorPosition(ReadConfigValue("pos", "lmw", kMonitorPositionDefault, kMonitorPositionBuffer), left, top);
    // A place on a screen since detached would be out of the user's reach.
    if (!MonitorFromPoint(POINT{left, top}, MONITOR_DEFAULTTONULL))
        ParseMonitorPosition(kMonitorPositionDefault, left, top);
    SetWindowPos(w, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(w, SW_SHOW);
    SetForegroundWindow(w);

    for (const HelpText& h : MonitorHelpTexts()) AddTooltip(w, h.id, Translate(h.text));
    // The counters' texts are kept with the main dialog's; they can only show here.
    for (const HelpText& h : ExtraHelpTexts())
        if (h.id == ids::TxtRxCount || h.id == ids::TxtTxCount) AddTooltip(w, h.id, Translate(h.text));
    return w;
}

void SaveLineMonitorPosition(HWND window) {
    int left = 0, top = 0;
    if (!RestoredCorner(window, left, top)) return;
    WriteConfigValue("pos", "lmw", FormatMonitorPosition(left, top));
}

void MonitorShowTx(const std::string& text) {
    if (!LineMonitorExists()) return;
    HWND box = GetDlgItem(Ui.LineMonitor, ids::TxtMonitorTx);
    ShowAtEnd(box, AppendToTxMonitor(ControlText(box), text));
    // Unsigned: the count wraps at 2^32 as a 32-bit counter does.
    txByteCount += static_cast<uint32_t>(text.size());
    SetDlgItemTextA(Ui.LineMonitor, ids::TxtTxCount, NumberText(txByteCount).c_str());
}

void MonitorShowRx(const std::string& chunk) {
    if (!LineMonitorExists()) return;
    HWND box = GetDlgItem(Ui.LineMonitor, ids::TxtMonitorRx);
    ShowAtEnd(box, AppendToRxMonitor(ControlText(box), chunk));
}

void MonitorShowRxCount(uint32_t rxByteCount) {
    if (!LineMonitorExists()) return;
    SetDlgItemTextA(Ui.LineMonitor, ids::TxtRxCount, NumberText(rxByteCount).c_str());
}
