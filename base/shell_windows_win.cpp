#include "base/shell_windows_win.h"

#include "base/control_ids.h"
#include "base/process_state.h"

ShellWindows Ui;
DLGPROC SharedDialogHandler = nullptr;

bool MainDialogExists() { return Ui.MainDialog && IsWindow(Ui.MainDialog); }

int PrimaryButtonKey() { return GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON; }

bool PrimaryButtonHeld() { return (GetAsyncKeyState(PrimaryButtonKey()) & 0x8000) != 0; }

int ControlUnderHeldMouse() {
    if (!PrimaryButtonHeld()) return 0;
    POINT p;
    if (!GetCursorPos(&p)) return 0;
    HWND w = WindowFromPoint(p);
    if (!w || !Ui.MainDialog || !IsChild(Ui.MainDialog, w)) return 0;
    return GetDlgCtrlID(w);
}

int PollRunButtons(int id) {
    if (id == 0) id = ControlUnderHeldMouse();
    if (id == ids::BtnStop) {
        if (App.RunMode != RunModes::Idle) ++App.StopCount;
        App.RunMode = RunModes::Idle;
    } else if (id == ids::BtnRun)
        App.RunMode = RunModes::Auto;
    else if (id == ids::BtnStep)
        App.RunMode = RunModes::Step;
    return id;
}
