#include "base/dialog_template_win.h"

#include "base/text.h"

namespace {

void Align(std::vector<uint8_t>& b, size_t to) {
    while (b.size() % to) b.push_back(0);
}

void PutWord(std::vector<uint8_t>& b, WORD w) { PutLittleEndian(b, w, 2); }
void PutDword(std::vector<uint8_t>& b, DWORD d) { PutLittleEndian(b, d, 4); }

// Templates hold UTF-16; our texts are in the ANSI code page.
void PutText(std::vector<uint8_t>& b, const std::string& s) {
    if (!s.empty()) {
        const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
        std::wstring w(static_cast<size_t>(n), L'\0');
        MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
        for (wchar_t c : w) PutWord(b, static_cast<WORD>(c));
    }
    PutWord(b, 0);
}

}  // namespace

DialogTemplate BeginDialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                                   const std::string& caption, const std::string& fontFace, WORD pointSize) {
    DialogTemplate t;
    auto& b = t.bytes;
    PutDword(b, style);
    PutDword(b, exStyle);
    PutWord(b, 0);  // item count, patched as items are added
    PutWord(b, static_cast<WORD>(x));
    PutWord(b, static_cast<WORD>(y));
    PutWord(b, static_cast<WORD>(cx));
    PutWord(b, static_cast<WORD>(cy));
    PutWord(b, 0);  // no menu
    PutWord(b, 0);  // standard dialog class
    PutText(b, caption);
    if (style & DS_SETFONT) {
        PutWord(b, pointSize);
        PutText(b, fontFace);
    }
    return t;
}

void AddTemplateItem(DialogTemplate& t, DWORD style, DWORD exStyle, short x, short y, short cx, short cy, WORD id,
                     const std::string& windowClass, const std::string& text) {
    auto& b = t.bytes;
    Align(b, 4);
    PutDword(b, style);
    PutDword(b, exStyle);
    PutWord(b, static_cast<WORD>(x));
    PutWord(b, static_cast<WORD>(y));
    PutWord(b, static_cast<WORD>(cx));
    PutWord(b, static_cast<WORD>(cy));
    PutWord(b, id);
    PutText(b, windowClass);
    PutText(b, text);
    PutWord(b, 0);  // no creation data
    ++t.itemCount;
    b[8] = static_cast<uint8_t>(t.itemCount & 0xFF);  // the count's word in the header
    b[9] = static_cast<uint8_t>(t.itemCount >> 8);
}

HWND CreateDialogFromTemplate(const DialogTemplate& t, HWND owner, DLGPROC proc) {
    // The system wants the template DWORD-aligned; a vector's buffer is.
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.bytes.data()),
                                      owner, proc, 0);
}

void CenterOnScreen(HWND window, int width, int height) {
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE OuterSizeForClient(HWND window, int width, int height) {
    RECT outer = {}, client = {};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return {width + (outer.right - outer.left) - client.right, height + (outer.bottom - outer.top) - client.bottom};
}

void SetWindowIcons(HWND window, int iconId) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    SendMessageA(
        window, WM_SETICON, ICON_BIG,
        reinterpret_cast<LPARAM>(LoadImageA(inst, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    SendMessageA(window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadImageA(inst, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, 0)));
}

HFONT CreatePointFont(const char* face, int points, bool bold, BYTE pitchAndFamily) {
    HDC dc = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchAndFamily, face);
}

std::string ControlText(HWND control) {
    const int n = GetWindowTextLengthA(control);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n) + 1, '\0');
    const int got = GetWindowTextA(control, &s[0], n + 1);
    s.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return s;
}
