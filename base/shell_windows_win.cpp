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
    if (id == ids::BtnStop) {
        if (App.RunMode != RunModes::Idle) ++App.StopCount;
        App.RunMode = RunModes::Idle;
        return id;
    }
    // Auto and Step switch a run that goes on; a run that Stop has ended stays over, and a wait
    // of another command (a jog, a query) starts nothing.
    if (App.RunMode == RunModes::Idle || (id != ids::BtnRun && id != ids::BtnStep)) return id;
    App.RunMode = id == ids::BtnRun ? RunModes::Auto : RunModes::Step;
    if (held) {
        PressTaken = true;
        PressTakenAfter = PrimaryReleasesSeen();
    }
    return id;
}

bool ClickEndsPressTakenByRun() {
    if (!PressTaken) return false;
    const uint32_t release = PrimaryReleaseInDispatch();
    if (release <= PressTakenAfter) return false;  // not a click by that press's release
    PressTaken = false;
    return release == PressTakenAfter + 1;
}
