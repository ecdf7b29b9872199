#include "plot/plot_run_win.h"

#include <windows.h>

#include "base/control_ids.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"
#include "base/shell_windows_win.h"
#include "link/transmission_win.h"
#include "plot/hpgl_reader.h"
#include "plot/plot_run.h"
#include "plot/preview.h"
#include "plot/preview_win.h"

namespace {

// The step wait pumps one message on passes whose tick count is a multiple of 64.
constexpr DWORD kStepWaitPumpTickMask = 63;

// The step wait before a line goes out: once in automatic mode, until the Step button is
// held (or the mode changes) in step mode.
bool StepWait() {
    do {
        if (!MainDialogExists()) return false;
        if (PollRunButtons(0) == ids::BtnStep) break;
        if ((GetTickCount() & kStepWaitPumpTickMask) == 0) PumpMessageStep();
    } while (App.RunMode & 2);
    return true;
}

const PlotLineOut& LineOut() {
    static const PlotLineOut out = {StepWait, [](const std::string& line) { SendCommand(line); }};
    return out;
}

}  // namespace

void StartPlotRun(int id) {
    if (Plot.PlotFile.empty()) {
        MessageBoxA(Ui.mainDialog, "PLT-File ?", "Stop", MB_OK | MB_TASKMODAL);
        return;
    }
    if (App.RunMode != RunIdle) return;
    App.RunMode = RunAuto;
    QueuePlotChar(Plot, App.RunMode, ';', LineOut());
    if (PollRunButtons(id) == ids::BtnStep) App.RunMode = RunStep;
    if (PlotCanvas* canvas = PreviewCanvas()) ClearPlotCanvas(*canvas, kRunBackground);
    RedrawPreview();

    PlotHost host = PreviewHost();
    host.QueueChar = [](char c) { QueuePlotChar(Plot, App.RunMode, c, LineOut()); };
    // Once stopped, the rest of the file is drawn without showing each command.
    host.CommandRead = [] {
        if (App.RunMode != RunIdle) RedrawPreview();
    };
    ReadPlotFile(Plot, Plot.PlotFile, host);
}
