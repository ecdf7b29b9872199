#include "base/progress_win.h"

#include <commctrl.h>

#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/shell_windows_win.h"
#include "res/resource_ids.h"

namespace {
HFONT ProgressFont = nullptr;  // made once, shared by every progress window
}

HWND ShowProgress(HWND parent, const std::string& caption) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER | WS_VISIBLE |
                        DS_SETFONT | DS_3DLOOK;
    DialogTemplate t = BeginDialogTemplate(style, WS_EX_CONTROLPARENT, 0, 0, 253, 41, "Showprogress");
    AddTemplateItem(t, WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 10, 5, 235, 10, ids::ProgressBar, PROGRESS_CLASSA,
                    "ProgressBar3");
    AddTemplateItem(t, WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 10, 15, 235, 20, ids::ProgressText,
                    "Static", "");
    HWND w = CreateDialogFromTemplate(t, parent, SharedDialogHandler);
    if (!w) return nullptr;
    SetWindowIcons(w, IDI_WINDOW);
    if (!ProgressFont) ProgressFont = CreatePointFont("MS Sans Serif", 14, false);
    SendDlgItemMessageA(w, ids::ProgressText, WM_SETFONT, reinterpret_cast<WPARAM>(ProgressFont), TRUE);
    ShowWindow(w, SW_SHOW);
    SendDlgItemMessageA(w, ids::ProgressBar, PBM_SETRANGE32, 0, 100);
    SetWindowTextA(w, caption.c_str());
    return w;
}

void SetProgress(HWND progress, int percent, const std::string& text) {
    if (!progress || !IsWindow(progress)) return;
    SendDlgItemMessageA(progress, ids::ProgressBar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    SetDlgItemTextA(progress, ids::ProgressText, text.c_str());
}

void CloseProgress(HWND progress) {
    if (progress && IsWindow(progress)) DestroyWindow(progress);
}
