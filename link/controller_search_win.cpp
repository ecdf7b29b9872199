#include "link/controller_search_win.h"

#include <windows.h>

#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/message_pump_win.h"
#include "base/numbers.h"
#include "base/process_state.h"
#include "base/progress_win.h"
#include "base/settings_win.h"
#include "base/shell_windows_win.h"
#include "base/ticks.h"
#include "link/port_search.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"

namespace {

constexpr const char kProbe[] = "\r\npx0,0\r\n\r\n";  // 11 bytes, never shown or logged
constexpr const char* kCommandCutQuestion =
    "Ein Kommando ist erst zum Teil gesendet. Bei einer neuen Suche geht der Rest\r\n"
    "dieser Zeile verloren, und der Controller erhält nur ihren Anfang.\r\n\r\n"
    "Trotzdem neu suchen?";
// The board answers the probe well within this time; a port silent that long has no board.
constexpr uint32_t kProbeAnswerMs = 2250;
// The search writes with flow control off: nothing holds its bytes for long, unless the
// device is no serial line at all.
constexpr uint32_t kSearchWriteMs = 250;
bool Searching = false;

void SetTextNow(HWND w, const std::string& text) {
    SetWindowTextA(w, text.c_str());
    UpdateWindow(w);
}

}  // namespace

bool SearchGoingOn() { return Searching; }

void FindController() {
    if (Searching) return;
    HWND main = Ui.MainDialog;
    // Closing the port in the middle of a command would leave its first part on the wire, for
    // the board to join with the probe. Asked first: a search is also the way out of a board
    // that never takes the rest.
    Searching = true;
    if (CommandHalfSent() && MessageBoxA(main, kCommandCutQuestion, "CNC?",
                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL) != IDYES) {
        Searching = false;
        return;
    }
    // A run ends first, as with Stop: nothing more of its file goes out, to this port or the
    // next; and nothing that waited behind the command going out follows it to another port.
    if (App.RunMode != RunModes::Idle) PollRunButtons(ids::BtnStop);
    DropWaitingCommand();
    HWND controllerOn = GetDlgItem(main, ids::LblControllerOn);
    HWND comLabel = GetDlgItem(main, ids::LblComPort);

    if (PortIsOpen()) {
        ClosePortAndStopReceiving();
        WaitServing(200, kWaitForUser);
    }
    const std::string savedText = ControlText(controllerOn);
    SetWindowTextA(comLabel, "COM??");
    SetControlColors(comLabel, RGB(255, 0, 0));
    HWND progress = ShowProgress(main, "Suche KT4180-Controller an COM-Port...");
    const int remembered = static_cast<int>(TextToInt32(ReadRegistryValue("Ini", "fcomport", "", 25)));

    int accepted = 0;
    for (int n : CandidatePorts(remembered, PortOps.listedPorts())) {
        const std::string device = PortOps.deviceName(n);
        SetTextNow(controllerOn, "Check: " + device);
        if (!IsWindow(progress)) {
            // Closing the progress window cancels the search where it stands.
            Searching = false;
            return;
        }
        SetProgress(progress, SearchProgress(n), PortOps.portName(n));
        HANDLE port = PortOps.open(n);
        PumpMessages();
        if (port == INVALID_HANDLE_VALUE) continue;
        WriteAndWait(port, std::string(kProbe, sizeof kProbe - 1), kSearchWriteMs);
        // The windows stay alive while the board has time to answer; closing the progress
        // window (or the program) ends the wait and the search.
        const uint32_t asked = WaitClockMs();
        WaitWhile([&] { return !TicksPassed(WaitClockMs(), asked, kProbeAnswerMs) && IsWindow(progress); },
                  kWaitForUser);
        if (!IsWindow(progress)) {
            PortOps.close(port);
            continue;
        }
        const std::string answer = PortOps.readWaiting(port);
        if (answer.find("Register") != std::string::npos) {
            comPort = port;
            WriteRegistryValue("Ini", "fcomport", NumberTextSpaced(n));
            accepted = n;
            break;
        }
        PortOps.close(port);
    }
    CloseProgress(progress);
    SetWindowTextA(controllerOn, savedText.c_str());

    if (!accepted) {
        MessageBoxA(main, "kein KT4180-Controller gefunden !", "CNC?", MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        Searching = false;
        return;
    }
    HANDLE port = comPort.load();
    SetWindowTextA(comLabel, PortOps.portName(accepted).c_str());
    SetControlColors(comLabel, RGB(0, 128, 0), RGB(255, 255, 255));
    // Follow CTS only where there is a line to follow.
    if (PortOps.ctsState(port) == 1) PortOps.setCtsFlowControl(port, true);
    WriteAndWait(port, "\r\n", kSearchWriteMs);
    WaitServing(125, kWaitForUser);
    PortOps.readWaiting(port);  // the rest of the probe's answer and the empty line's
    PortOps.setQueueSizes(port, 65000, 65000);
    StartReceiveLoop(port);
    Searching = false;
}
