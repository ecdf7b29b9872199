// Time from choosing the largest plot file the program accepts (9,999,999 bytes) to the
// finished preview, in the real window code under Wine, and the process's peak memory.
// tools/bench plot runs it.
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <fstream>

#include "app/main_dialog_win.h"
#include "plot/preview_win.h"
#include "tests/bench/plot_generator.h"

int main() {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "kt-bench-9M.plt";
    const std::string text = GeneratePlot();
    std::ofstream(path, std::ios::binary) << text;

    HWND dlg = CreateMainDialog();
    ShowWindow(dlg, SW_SHOW);
    // The preview's size in a main dialog of its first size.
    HWND gfx = CreatePreviewControl(dlg, 206, 2, 811 - 230, 472 - 60);
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    LoadPlotPreview(gfx, path);
    QueryPerformanceCounter(&t1);
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    std::printf("preview of %zu bytes: %.2f s; peak working set %.1f MB\n", text.size(),
                static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(f.QuadPart),
                static_cast<double>(pmc.PeakWorkingSetSize) / 1048576.0);
    DeleteFileA(path.c_str());
    return 0;
}
