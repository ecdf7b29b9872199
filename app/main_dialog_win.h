#pragma once
// The main dialog: its controls, the one message handler of every window of the program and
// its command dispatch, and the focus keeper.
#include <windows.h>

#include <string>
#include <vector>

#include "base/controls_win.h"
#include "base/shell_windows_win.h"

const std::vector<ControlSpec>& MainDialogControls();

constexpr const char* kMainDialogCaption = "XYZ-Controller KT4180 V1.31";
constexpr int kMainDialogWidth = 811;
constexpr int kMainDialogHeight = 472;
constexpr int kStatusBarEdges[6] = {249, 399, 549, 699, 849, 2849};
constexpr int kTimerPeriodMs = 250;

// The common control classes, registered once before any window is made.
void RegisterCommonControls();
// Start-up: common controls, then BuildMainDialog; returns when the main dialog has ended and
// the receive thread has stopped. The demo program gives its own caption.
int RunProgram(const char* caption = kMainDialogCaption);
// Builds the main dialog hidden: its controls and fonts, the register image, the program's
// configuration path, the progress bar inside the status bar, and the tooltips.
HWND CreateMainDialog(const char* caption = kMainDialogCaption);
// CreateMainDialog, the timer, then the dialog runs modally; releases the fonts at the end.
void BuildMainDialog(HWND parent, const char* caption = kMainDialogCaption);

// The one message handler of the main dialog, the line monitor, the setup dialog and the
// progress window.
INT_PTR CALLBACK MainDialogHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_COMMAND dispatch: one row per control id. An action runs for every notification, or
// only for clicks (notification 0 or 1) where needsClick is set.
using CommandAction = void (*)(HWND window, int id);
struct CommandRow {
    int id;
    bool needsClick;
    CommandAction action;
};
std::vector<CommandRow>& CommandTable();
