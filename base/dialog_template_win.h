#pragma once
// In-memory dialog templates: every window of the program is built at run time, without
// resource templates. A template holds the window itself and, where a window is laid out
// in dialog units, its controls.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct DialogTemplate {
    std::vector<uint8_t> bytes;  // DWORD-aligned DLGTEMPLATE with its items
    WORD itemCount = 0;
};

// Starts a template. Positions and sizes are dialog units; DS_SETFONT in style adds the font.
DialogTemplate BeginDialogTemplate(DWORD style, DWORD exStyle, short x, short y, short cx, short cy,
                                   const std::string& caption, const std::string& fontFace = "MS Sans Serif",
                                   WORD pointSize = 8);
// Adds a control by class name.
void AddTemplateItem(DialogTemplate& t, DWORD style, DWORD exStyle, short x, short y, short cx, short cy, WORD id,
                     const std::string& windowClass, const std::string& text);
// Creates a modeless dialog from the template, served by proc.
HWND CreateDialogFromTemplate(const DialogTemplate& t, HWND owner, DLGPROC proc);

// Gives window the outer size width x height, centered on the screen.
void CenterOnScreen(HWND window, int width, int height);
// The outer size window must have for a client area of width x height pixels.
SIZE OuterSizeForClient(HWND window, int width, int height);
// The window's big and small icon from the icon resource id.
void SetWindowIcons(HWND window, int iconId);
// A font of face at points (of the screen's resolution), regular or bold.
HFONT CreatePointFont(const char* face, int points, bool bold, BYTE pitchAndFamily = DEFAULT_PITCH | FF_DONTCARE);
// The whole text of a window or control.
std::string ControlText(HWND control);
