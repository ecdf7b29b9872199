#include "plot/plot_run_win.h"

#include <windows.h>

#include "base/control_ids.h"
#include "base/keep_awake_win.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"
#include "base/shell_windows_win.h"
#include "link/board_commands.h"
#include "link/transmission_win.h"
#include "plot/hpgl_reader.h"
#include "plot/plot_run.h"
#include "plot/preview.h"
#include "plot/preview_win.h"

namespace {

constexpr const char* kPreviewBusyMessage =
    "Die Vorschau wird noch aufgebaut.\r\nBitte warten, bis sie fertig ist, und dann noch einmal starten.";

// The step wait before a line goes out: one look at the run buttons in automatic mode; in
// step mode, until the Step button is held or the mode changes. It waits on the user, so it
// sleeps between its looks, a millisecond at a time: a press releases the line at once.
bool StepWait() {
    const uint32_t start = WaitClockMs();
    for (;;) {
        if (!MainDialogExists()) return false;
        if (PollRunButtons(0) == ids::BtnStep || !WaitsForStep(App.RunMode)) return true;
        if (!PaceWait(start, kWaitForUser)) return false;  // the program is ending
    }
}

const PlotLineOut& LineOut() {
    static const PlotLineOut out = {StepWait, [](const std::string& line) { SendCommand(line); }};
    return out;
}

}  // namespace

void StartPlotRun(int id) {
    if (Plot.PlotFile.empty()) {
        MessageBoxA(Ui.MainDialog, "PLT-File ?", "Stop", MB_OK | MB_TASKMODAL);
        return;
    }
    if (App.RunMode != RunModes::Idle) return;
    // The press already acted on a run that has ended since: the release does not start another.
    if (ClickEndsPressTakenByRun()) return;
    // A stopped run still draws the rest of its file: a second click does nothing until then.
    if (PlotReadGoingOn() == PlotReadKind::Run) return;
    if (PlotReadGoingOn() == PlotReadKind::Preview) {
        MessageBoxA(Ui.MainDialog, kPreviewBusyMessage, "Stop", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
        return;
    }
    // Its lines would have to wait behind a command still going out, in a queue another may hold,
    // or go out between the registers of a transfer whose setup dialog has closed.
    if (TransmissionBusy() || App.TransferRunning) {
        MessageBoxA(Ui.MainDialog, kBoardBusyMessage, kBoardBusyTitle, MB_OK | MB_ICONSTOP | MB_TASKMODAL);
        return;
    }
    PlotReading reading(PlotReadKind::Run);
    std::string text;
    const PlotLoad load = LoadPlotText(Plot.PlotFile, text);
    if (load == PlotLoad::Unreadable) {
        ShowPlotFileUnreadable(Plot.PlotFile, "Der Lauf beginnt nicht, nichts wurde gesendet.");
        return;
    }
    if (load == PlotLoad::Cut) ShowPlotFileCut(Plot.PlotFile);
    KeepAwake awake;
    App.RunMode = RunModes::Auto;
    QueuePlotChar(Plot, App.RunMode, ';', LineOut());
    PollRunButtons(id);  // started with Step: step mode, unless Stop has ended the run already
    if (PlotCanvas* canvas = PreviewCanvas()) ClearPlotCanvas(*canvas, kRunBackground);
    RedrawPreview();

    PlotHost host = PreviewHost();
    bool endedEarly = false;  // Stop, a search or closing ended the run before the file did
    host.queueChar = [&endedEarly](char c) {
        endedEarly = endedEarly || App.RunMode == RunModes::Idle;
        QueuePlotChar(Plot, App.RunMode, c, LineOut());
    };
    // Once stopped, the rest of the file is drawn without showing each command, and the machine
    // has nothing more to do.
    host.commandRead = [&awake] {
        if (App.RunMode != RunModes::Idle)
            RedrawPreview();
        else
            awake.Release();
    };
    ReadPlotText(Plot, text, host);
    // What a run ended early had collected is part of a line, and the command the file's limit
    // cut is no command: either goes out neither now nor at the start of a later run. Only a
    // file's own last command without a terminator waits for the next run.
    if (endedEarly || load == PlotLoad::Cut) {
        Plot.SendBuffer.clear();
        Plot.SendBufferHasCR = false;
    }
}
