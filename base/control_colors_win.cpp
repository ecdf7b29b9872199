#include "base/control_colors_win.h"

#include <iterator>
#include <map>

namespace {

struct Colors {
    COLORREF background;
    COLORREF text;
};
std::map<HWND, Colors> ControlColors;
std::map<COLORREF, HBRUSH> Brushes;  // one per color, alive until the program ends

HBRUSH BrushFor(COLORREF c) {
    auto it = Brushes.find(c);
    if (it != Brushes.end()) return it->second;
    HBRUSH b = CreateSolidBrush(c);
    Brushes[c] = b;
    return b;
}

bool IsGroupBox(HWND w) {
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    return lstrcmpiA(cls, "Button") == 0 && (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

}  // namespace

void SetControlColors(HWND control, COLORREF background, COLORREF text) {
    if (!control) return;
    ControlColors[control] = {background, text};
    InvalidateRect(control, nullptr, TRUE);
    if (IsGroupBox(control)) {
        RECT r;
        GetWindowRect(control, &r);
        HWND parent = GetParent(control);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        InvalidateRect(parent, &r, TRUE);
    }
    UpdateWindow(control);
}

void ForgetControlColors(HWND window) {
    for (auto it = ControlColors.begin(); it != ControlColors.end();)
        it = it->first == window || IsChild(window, it->first) ? ControlColors.erase(it) : std::next(it);
}

namespace {

// A label without colors of its own that sits on a colored group box takes the box's color,
// so that it does not stand out as a patch of the dialog's grey.
const Colors* EnclosingGroupColors(HWND control) {
    char cls[16] = {};
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) return nullptr;
    RECT r;
    GetWindowRect(control, &r);
    HWND parent = GetParent(control);
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        auto it = ControlColors.find(c);
        if (it == ControlColors.end() || !IsGroupBox(c)) continue;
        RECT g;
        GetWindowRect(c, &g);
        if (r.left >= g.left && r.right <= g.right && r.top >= g.top && r.bottom <= g.bottom) return &it->second;
    }
    return nullptr;
}

}  // namespace

HBRUSH ControlColorBrush(HWND control, HDC dc) {
    auto it = ControlColors.find(control);
    if (it == ControlColors.end()) {
        const Colors* group = EnclosingGroupColors(control);
        if (!group) return nullptr;
        SetBkColor(dc, group->background);
        return BrushFor(group->background);
    }
    // A window handle can be reused by a later window: the entry must still be ours.
    if (!IsWindow(control)) {
        ControlColors.erase(it);
        return nullptr;
    }
    SetBkColor(dc, it->second.background);
    if (it->second.text != kDefaultTextColor) SetTextColor(dc, it->second.text);
    return BrushFor(it->second.background);
}

bool PaintDialogBackground(HWND dialog, HDC dc) {
    bool any = false;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (ControlColors.count(c) && IsGroupBox(c)) any = true;
    if (!any) return false;
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    // Children paint in reverse creation order; fill the boxes that way too, so that a box
    // created later lies under one created earlier.
    HWND last = GetWindow(GetWindow(dialog, GW_CHILD), GW_HWNDLAST);
    for (HWND c = last; c; c = GetWindow(c, GW_HWNDPREV)) {
        auto it = ControlColors.find(c);
        if (it == ControlColors.end() || !IsGroupBox(c) || !IsWindowVisible(c)) continue;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        // Inside the frame line, below the caption's middle.
        RECT inner = {r.left + 2, r.top + 8, r.right - 2, r.bottom - 2};
        FillRect(dc, &inner, BrushFor(it->second.background));
    }
    return true;
}
