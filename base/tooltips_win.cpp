#include "base/tooltips_win.h"

#include <commctrl.h>

namespace {
HWND Tooltip = nullptr;
// Bit 0x40 has no documented meaning; it has always been part of the flags and is kept.
constexpr UINT kToolFlags = TTF_IDISHWND | TTF_CENTERTIP | TTF_SUBCLASS | 0x40;
}  // namespace

HWND TooltipWindow() { return Tooltip && IsWindow(Tooltip) ? Tooltip : nullptr; }

void AddTooltip(HWND window, int id, const std::string& text) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    // The window dies with its owner; the next call then makes a new one.
    if (!TooltipWindow()) {
        Tooltip =
            CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, "", WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, inst, nullptr);
        if (!Tooltip) return;
        // A maximum width makes the CR LF line breaks of the texts count.
        SendMessageA(Tooltip, TTM_SETMAXTIPWIDTH, 0, 500);
        SetWindowPos(Tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        SendMessageA(Tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, 1000);
        SendMessageA(Tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 9000);
        SendMessageA(Tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, 200);
    }
    HWND control = GetDlgItem(window, id);
    TOOLINFOA ti = {};
    // Without a manifest Windows gives the program the common controls 5.8, which refuse a
    // description that counts the reserved last field (sizeof under _WIN32_WINNT 0x0601): every
    // tooltip would be missing. Every version takes this size.
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = kToolFlags;
    ti.hwnd = control;
    ti.uId = reinterpret_cast<UINT_PTR>(control);
    ti.hinst = inst;
    ti.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(Tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}
