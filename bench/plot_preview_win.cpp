// Time from choosing a plot file to the finished preview, in the real window code under
// Wine, and the process's peak memory beside what the preview may take. One file a process,
// so that the peak is that file's. tools/bench plot runs it on the benchmark plots:
//   plot_preview_win.exe Z:/path/to/file.plt
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "app/main_dialog_win.h"
#include "base/control_ids.h"
#include "base/message_pump_win.h"
#include "plot/plot_state.h"
#include "plot/preview_win.h"

int main(int argc, char** argv) {
    if (argc != 2) return std::fprintf(stderr, "usage: plot_preview_win FILE\n"), 2;
    const auto memory = [] {
        PROCESS_MEMORY_COUNTERS pmc = {};
        pmc.cb = sizeof pmc;
        GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
        return pmc;
    };
    HWND dlg = CreateMainDialog();
    ShowWindow(dlg, SW_SHOW);
    const int w = 811 - 230, h = 472 - 60;  // the preview in a main dialog of its first size
    HWND gfx = CreatePreviewControl(dlg, 206, 2, w, h);
    // A user chooses a file in a dialog that has long been drawn.
    UpdateWindow(dlg);
    PumpMessages();
    const double mb = 1048576.0, bitmap = 4.0 * w * h, before = static_cast<double>(memory().WorkingSetSize);

    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    // What the open button does once the dialog has returned the file.
    SendDlgItemMessageA(dlg, ids::SBar1, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(argv[1]));
    LoadPlotPreview(gfx, argv[1]);
    QueryPerformanceCounter(&t1);
    const double ms = 1e3 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart);

    const double peak = static_cast<double>(memory().PeakWorkingSetSize);
    std::printf("  under Wine, chosen to shown %8.1f ms  (%d bytes read)\n", ms, Plot.PlotFileLength);
    std::printf(
        "  peak working set        %8.1f MB  (the preview took %.1f MB with its bitmap; allowed 2 x file + "
        "bitmap = %.1f MB)\n",
        peak / mb, (peak - before + bitmap) / mb, (2.0 * Plot.PlotFileLength + bitmap) / mb);
    return 0;
}
