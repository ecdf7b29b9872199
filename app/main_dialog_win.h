#pragma once
// The main dialog: its controls, the one message handler of every window of the program,
// the pressed-button poll and the focus keeper.
#include <windows.h>

#include <string>
#include <vector>

// Window handles and fonts of the process; user-interface thread only, except that the
// receive thread reads the handles to post control texts.
struct ShellWindows {
    HWND mainDialog = nullptr;
    HWND lineMonitor = nullptr;   // 0 until the line monitor is first opened
    HWND SetupDialog = nullptr;   // keeps its last value after the dialog has closed
    HWND SavedFocus = nullptr;    // control that had the focus when a window of ours lost it
    HFONT fontBoldSmall = nullptr;
    HFONT fontBoldLarge = nullptr;
    HFONT fontPlainSmall = nullptr;
};
extern ShellWindows Ui;

enum class ControlKind { ImageButton, IconButton, PushButton, StatusBar, ProgressBar, Label, TextBox, GroupBox, Image };
enum class ControlFont { Dialog, BoldSmall, BoldLarge, PlainSmall };

// One row of a window's control table: creation order is table order (also the tab order).
struct ControlSpec {
    int id;
    const char* name;
    ControlKind kind;
    const char* caption;  // text, or empty for images
    int resource;         // bitmap or icon id, 0 for none
    int x, y, w, h;       // pixels of the client area
    DWORD style;          // besides WS_CHILD | WS_VISIBLE and the kind's own
    DWORD exStyle;
    COLORREF background;  // CLR_INVALID: the system's
    ControlFont font;
};

const std::vector<ControlSpec>& MainDialogControls();
// The window class and the full style a row is created with.
const char* ControlClass(ControlKind kind);
DWORD ControlStyle(const ControlSpec& c);

constexpr const char* kMainDialogCaption = "XYZ-Controller KT4180 V1.31";
constexpr int kMainDialogWidth = 811;
constexpr int kMainDialogHeight = 472;
constexpr int kStatusBarEdges[6] = {249, 399, 549, 699, 849, 2849};
constexpr int kTimerPeriodMs = 250;

// Start-up: common controls, then BuildMainDialog; returns when the main dialog has ended.
int RunProgram();
// Builds the main dialog with its controls and fonts (start-up steps 2 to 11), hidden.
HWND CreateMainDialog();
// CreateMainDialog, the timer, then the dialog runs modally; releases the fonts at the end.
void BuildMainDialog(HWND parent);

// The one message handler of the main dialog, the line monitor, the setup dialog and the
// progress window.
INT_PTR CALLBACK MainDialogHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_COMMAND dispatch: one row per control id. An action runs for every notification, or
// only for clicks (notification 0 or 1) where needsClick is set. Rows whose operation is not
// part of the program yet have no action.
using CommandAction = void (*)(HWND window, int id);
struct CommandRow {
    int id;
    bool needsClick;
    CommandAction action;
};
std::vector<CommandRow>& CommandTable();

// Sets RunMode from a run button's id (0: the control under the held left mouse button) and
// returns the id used.
int PollRunButtons(int id);
// Id of the main dialog's child under the cursor while the left button is held, else 0.
int ControlUnderHeldMouse();
