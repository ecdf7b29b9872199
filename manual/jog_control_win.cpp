#include "manual/jog_control_win.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"
#include "base/shell_windows_win.h"
#include "base/ticks.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"
#include "manual/jog_commands.h"

namespace {

constexpr uint32_t kRepeatDelayMs = 250;

bool QuitPending() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

DWORD BytesStillGoingOut() {
    HANDLE port = comPort.load();
    return port == INVALID_HANDLE_VALUE ? 0 : PortOps.bytesToTransmit(port);
}

// The step count is read from the box's first 99 characters.
std::string StepBoxText() { return ControlText(GetDlgItem(Ui.MainDialog, ids::TxtSteps)).substr(0, 99); }

// A rejected count moves nothing, whichever way the warning was dismissed. A button still
// held after it (Enter pressed while holding) is the same press: it would start a jog with
// every cursor message, so the press is waited out here, with JogBusy still set.
// False when the main dialog went away meanwhile.
bool WaitForRelease() {
    WaitWhile([] { return PrimaryButtonHeld() && MainDialogExists(); }, kWaitForUser);
    return MainDialogExists();
}

}  // namespace

void JogControl(int id) {
    // A press refused (below) stays refused until its release: the number the release will
    // have among those the loops dispatched, 0 for none.
    static uint32_t refusedPress = 0;
    if (!PrimaryButtonHeld()) refusedPress = 0;
    if (App.JogBusy) return;
    HWND main = Ui.MainDialog;
    if (!main || GetActiveWindow() != main || GetForegroundWindow() != main) return;
    // Held now, or pressed and released since the last look.
    if (GetAsyncKeyState(PrimaryButtonKey()) == 0) return;
    if (BytesStillGoingOut() > 1) return;
    const int64_t n = JogStepsFromText(StepBoxText());
    const std::string command = JogCommand(id, n);
    if (command.empty()) return;  // not a jog image: the Stop button held during a run, say
    // Inside the wait of another command (a plot line, a register transfer): its repeats could
    // only queue behind a command that cannot go on until the jog has ended. No jog for that
    // press, even once the command has gone, and one beep, not one per cursor message.
    const uint32_t press = PrimaryReleasesSeen() + 1;
    if (refusedPress == press) return;
    if (TransmissionBusy() || App.TransferRunning) {
        refusedPress = press;
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    App.JogBusy = true;
    if (!JogStepsValid(n)) {
        MessageBoxA(main, "ungültiger Wert in Step-Box !", "No Steps?", MB_ICONERROR | MB_TASKMODAL);
        if (!WaitForRelease()) return;
        App.JogBusy = false;
        return;
    }

    const uint32_t start = WaitClockMs();
    while (PrimaryButtonHeld()) {
        const SendResult sent = SendCommand(command);
        if (!IsWindow(main)) return;  // the program is ending; JogBusy no longer matters
        // Behind a command still going out (a plot line waiting for the board): the next
        // repeat comes only once this one has gone, so that releasing the button ends the moves.
        WaitWhile([&] { return sent == SendResult::Queued && CommandWaiting() && IsWindow(main); }, kWaitForBoard);
        PumpMessages();
        WaitWhile([&] { return !TicksPassed(WaitClockMs(), start, kRepeatDelayMs) && IsWindow(main); }, kWaitForUser);
        if (!IsWindow(main)) return;
        if (QuitPending()) break;  // the outer loop must see it
    }
    App.JogBusy = false;
}
