#include "plot/plot_timer_win.h"

#include <windows.h>

#include <commctrl.h>

#include "base/control_ids.h"
#include "base/files_win.h"
#include "base/help_texts.h"
#include "base/language_win.h"
#include "base/numbers.h"
#include "base/process_state.h"
#include "base/settings_win.h"
#include "base/shell_windows_win.h"
#include "link/controller_search_win.h"
#include "plot/plot_state.h"
#include "plot/preview_win.h"

namespace {

// The preview fills the dialog right of the control panel: its corner and what it leaves of the
// dialog's outer size (frame, status bar and a margin).
constexpr int kPreviewLeft = 206;
constexpr int kPreviewTop = 2;
constexpr int kPreviewRightMargin = 230;
constexpr int kPreviewBottomMargin = 60;

// User-interface thread only.
int32_t TickCount = 0;
int32_t ShownPercent = 0;
int32_t SeenWidth = 0, SeenHeight = 0;
int32_t QuietTicks = 0;
bool Started = false;  // the first build, at start-up, is over

// The preview follows the window's size once it has kept it for 10 ticks. It shows the plot
// file this copy has open: the one remembered in win.ini, which every copy of the program
// shares, only at start-up.
void RebuildPreview(HWND main) {
    HWND gfx = CreatePreviewControl(main, kPreviewLeft, kPreviewTop, App.DialogWidth - kPreviewRightMargin,
                                    App.DialogHeight - kPreviewBottomMargin);
    const std::string path = Started ? Plot.PlotFile : ReadProfileValue("pltfile", CurrentDirectory());
    Started = true;
    if (FileExists(path)) LoadPlotPreview(gfx, path);
}

}  // namespace

void PlotTimerTick() {
    HWND main = Ui.MainDialog;
    if (++TickCount == 3) FindController();
    if (App.ProgressPercent != ShownPercent) {
        ShownPercent = App.ProgressPercent;
        const std::string text = NumberText(ShownPercent) + "%";
        SendDlgItemMessageA(main, ids::SBar1, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendDlgItemMessageA(GetDlgItem(main, ids::SBar1), ids::ProgressRun, PBM_SETPOS, ShownPercent, 0);
    }
    std::string caption;
    const RunModes mode = App.RunMode;
    if (mode == RunModes::Idle) {
        if (App.DialogWidth != SeenWidth || App.DialogHeight != SeenHeight) {
            SeenWidth = App.DialogWidth;
            SeenHeight = App.DialogHeight;
            QuietTicks = 0;
        }
        // Not inside a build or a run's read (a stopped run still draws the rest of its file).
        if (PlotReadGoingOn() == PlotReadKind::None && QuietTicks < 10 && ++QuietTicks == 10) RebuildPreview(main);
        caption = Translate(kRunCaptionIdle);
    } else if (mode == RunModes::Auto) {
        caption = Translate(kRunCaptionAuto);
    } else if (mode == RunModes::Step) {
        caption = Translate(kRunCaptionStep);
    }
    if (caption.size() > 259) caption.resize(259);
    if (!caption.empty()) SetDlgItemTextA(main, ids::FrmAuto, caption.c_str());
}
