#include "base/shell_windows_win.h"

#include "base/control_ids.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"

ShellWindows Ui;
DLGPROC SharedDialogHandler = nullptr;

namespace {
// A press of Auto or Step that a run's poll acted on: the releases dispatched before it was
// last seen held. Its own release is the next one; its click must not start another run.
bool PressTaken = false;
uint32_t PressTakenAfter = 0;
}  // namespace

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
    const bool held = id == 0;
    if (held) id = ControlUnderHeldMouse();
    if (held && App.RunMode != RunModes::Idle && (id == ids::BtnRun || id == ids::BtnStep)) {
        PressTaken = true;
        PressTakenAfter = PrimaryReleasesSeen();
    }
    if (id == ids::BtnStop) {
        if (App.RunMode != RunModes::Idle) ++App.StopCount;
        App.RunMode = RunModes::Idle;
    } else if (id == ids::BtnRun)
        App.RunMode = RunModes::Auto;
    else if (id == ids::BtnStep)
        App.RunMode = RunModes::Step;
    return id;
}

bool ClickEndsPressTakenByRun() {
    if (!PressTaken) return false;
    const uint32_t release = PrimaryReleaseInDispatch();
    if (release <= PressTakenAfter) return false;  // not a click by that press's release
    PressTaken = false;
    return release == PressTakenAfter + 1;
}
