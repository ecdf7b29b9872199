#pragma once
// Child controls from a window's control table. Every window of the program is laid out in
// pixels by one table; table order is creation order and tab order.
#include <windows.h>

#include <string>
#include <vector>

enum class ControlKind {
    ImageButton,
    IconButton,
    PushButton,
    CheckBox,
    StatusBar,
    ProgressBar,
    Label,
    TextBox,
    GroupBox,
    Image
};
// Which font a control gets after creation; the window decides what each one is.
enum class ControlFont { Dialog, BoldSmall, BoldLarge, PlainSmall, Courier };

constexpr COLORREF kNoColor = CLR_INVALID;

struct ControlSpec {
    int id;
    std::string name;
    ControlKind kind;
    std::string caption;  // text, or empty for images
    int resource;         // bitmap or icon id, 0 for none
    int x, y, w, h;       // pixels of the client area
    DWORD style;          // besides WS_CHILD | WS_VISIBLE and the kind's own
    DWORD exStyle = 0;
    COLORREF background = kNoColor;  // kNoColor: the system's
    ControlFont font = ControlFont::Dialog;
};

// The window class and the full styles a row is created with.
const char* ControlClass(ControlKind kind);
DWORD ControlStyle(const ControlSpec& c);
DWORD ControlExStyle(const ControlSpec& c);

// Creates the control of one row in parent, with its image and color; nullptr on failure.
HWND CreateControl(HWND parent, const ControlSpec& c);

// Releases the images that window's controls show and the window's own icons (SetWindowIcons):
// neither a button nor a static control owns the image it is given, nor a window its icons.
// Called when window is being destroyed, while its controls still exist.
void ReleaseWindowImages(HWND window);
