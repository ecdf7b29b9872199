#include "base/controls_win.h"

#include <commctrl.h>

#include "base/control_colors_win.h"

using K = ControlKind;

const char* ControlClass(ControlKind kind) {
    switch (kind) {
        case K::ImageButton:
        case K::IconButton:
        case K::PushButton:
        case K::CheckBox:
        case K::GroupBox: return "Button";
        case K::StatusBar: return STATUSCLASSNAMEA;
        case K::ProgressBar: return PROGRESS_CLASSA;
        case K::TextBox: return "Edit";
        case K::Label:
        case K::Image: return "Static";
    }
    return "Static";
}

DWORD ControlStyle(const ControlSpec& c) {
    DWORD s = WS_CHILD | WS_VISIBLE | c.style;
    switch (c.kind) {
        case K::ImageButton: s |= BS_BITMAP; break;
        case K::IconButton: s |= BS_ICON; break;
        case K::GroupBox: s |= BS_GROUPBOX; break;
        case K::Image: s |= SS_BITMAP; break;
        default: break;
    }
    return s;
}

DWORD ControlExStyle(const ControlSpec& c) {
    // Text boxes are edit controls with a sunken client edge.
    return c.exStyle | (c.kind == K::TextBox ? WS_EX_CLIENTEDGE : 0);
}

HWND CreateControl(HWND parent, const ControlSpec& c) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HWND w = CreateWindowExA(ControlExStyle(c), ControlClass(c.kind), c.caption.c_str(), ControlStyle(c), c.x, c.y, c.w,
                             c.h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), inst, nullptr);
    if (!w) return nullptr;
    auto image = [&](UINT type, int size) {
        return reinterpret_cast<LPARAM>(LoadImageA(inst, MAKEINTRESOURCEA(c.resource), type, size, size, 0));
    };
    switch (c.kind) {
        case K::ImageButton: SendMessageA(w, BM_SETIMAGE, IMAGE_BITMAP, image(IMAGE_BITMAP, 0)); break;
        case K::IconButton: SendMessageA(w, BM_SETIMAGE, IMAGE_ICON, image(IMAGE_ICON, 32)); break;
        case K::Image: SendMessageA(w, STM_SETIMAGE, IMAGE_BITMAP, image(IMAGE_BITMAP, 0)); break;
        case K::ProgressBar: SendMessageA(w, PBM_SETRANGE32, 0, 100); break;
        default: break;
    }
    if (c.background != kNoColor) SetControlColors(w, c.background);
    return w;
}

void ReleaseWindowImages(HWND window) {
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = {};
        GetClassNameA(c, cls, sizeof cls);
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        // Setting no image hands back the one shown, which the control then no longer paints.
        HANDLE image = nullptr;
        if (lstrcmpiA(cls, "Button") == 0 && (style & BS_ICON))
            DestroyIcon(reinterpret_cast<HICON>(SendMessageA(c, BM_SETIMAGE, IMAGE_ICON, 0)));
        else if (lstrcmpiA(cls, "Button") == 0 && (style & BS_BITMAP))
            image = reinterpret_cast<HANDLE>(SendMessageA(c, BM_SETIMAGE, IMAGE_BITMAP, 0));
        else if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_BITMAP)
            image = reinterpret_cast<HANDLE>(SendMessageA(c, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (image) DeleteObject(image);
    }
    for (WPARAM which : {ICON_BIG, ICON_SMALL})
        if (HICON icon = reinterpret_cast<HICON>(SendMessageA(window, WM_SETICON, which, 0))) DestroyIcon(icon);
}
