#pragma once
// The program's windows as every part sees them: the handles of the main dialog and of the
// windows opened from it, the shared fonts, the one handler all of them use, and the poll of
// the run buttons that long operations make while they wait.
#include <windows.h>

// User-interface thread only; the receive thread keeps copies of the handles it needs.
struct ShellWindows {
    HWND MainDialog = nullptr;
    HWND LineMonitor = nullptr;  // 0 until the line monitor is first opened
    HWND SetupDialog = nullptr;  // keeps its last value after the dialog has closed
    HFONT FontBoldSmall = nullptr;
    HFONT FontBoldLarge = nullptr;
    HFONT FontPlainSmall = nullptr;
};
extern ShellWindows Ui;

// Each window of ours keeps the control that had the focus when it was deactivated in this
// window property, and gives the focus back to it when it is activated again.
constexpr const char* kSavedFocusProperty = "KT4180.SavedFocus";

// The one message handler of every window of the program; the main dialog's code installs it
// before any window exists.
extern DLGPROC SharedDialogHandler;

// True while the main dialog is a live window.
bool MainDialogExists();

// The mouse button Windows treats as primary, as a virtual key: the right one for a user who
// swapped the buttons. GetAsyncKeyState reads the physical buttons.
int PrimaryButtonKey();
bool PrimaryButtonHeld();

// Sets RunMode from a run button's id (0: the control under the held primary mouse button)
// and returns the id used. Stop ends a run; Auto and Step switch only a run that goes on.
int PollRunButtons(int id);
// True for the click of Auto or Step whose press a run's poll has already acted on: its
// release comes after the press switched the running run, and starts nothing. The press is
// forgotten with its release, clicked or not.
bool ClickEndsPressTakenByRun();
// Id of the main dialog's child under the cursor while the primary button is held, else 0.
int ControlUnderHeldMouse();
