#include "app/progress_win.h"

#include <commctrl.h>

#include "app/control_ids.h"
#include "app/dialog_template_win.h"
#include "app/main_dialog_win.h"

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
    HWND w = CreateDialogFromTemplate(t, parent, MainDialogHandler);
    if (!w) return nullptr;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    SendMessageA(w, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadImageA(inst, MAKEINTRESOURCEA(1135), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    SendMessageA(w, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadImageA(inst, MAKEINTRESOURCEA(1135), IMAGE_ICON, 16, 16, 0)));
    if (!ProgressFont) {
        HDC dc = GetDC(nullptr);
        const int height = -MulDiv(14, GetDeviceCaps(dc, LOGPIXELSY), 72);
        ReleaseDC(nullptr, dc);
        ProgressFont = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    }
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
