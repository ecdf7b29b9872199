#pragma once
// The preview graphic GfxPreview and its off-screen image: a 32-bit DIB section that the
// control shows on every redraw and that the image export writes.
#include <windows.h>

#include <string>

#include "base/files_win.h"
#include "plot/hpgl_reader.h"
#include "plot/plot_state.h"

// Destroys GfxPreview if it exists and creates it anew at x, y with size w x h (negative
// sizes count as 0), with an image of its size.
HWND CreatePreviewControl(HWND main, int x, int y, int w, int h);
// The image of the preview, sized to the control (none before the control exists).
PlotCanvas* PreviewCanvas();
// Shows the image's current content.
void RedrawPreview();
// Writes the image as a BMP file; false when the file cannot be written.
bool WritePreviewBitmap(const std::string& path, bool reduceToPalette = false);

// The host of every read of the plot file: progress to the status bar, the drawing pump
// step, the end of the read. Its canvas is the preview's image.
PlotHost PreviewHost();

// A preview build and a run walk the plot file with the windows served, and both use the one
// plot state: neither may start inside the other, nor a build inside a build. A read marks
// itself for its whole length; what the user asks for meanwhile (another file, an export)
// waits for its end.
enum class PlotReadKind { None, Preview, Run };
PlotReadKind PlotReadGoingOn();
struct PlotReading {
    explicit PlotReading(PlotReadKind kind);
    ~PlotReading();
    PlotReading(const PlotReading&) = delete;
    PlotReading& operator=(const PlotReading&) = delete;
};
// Runs action at once, or when the read going on has ended; an action already waiting is not
// added again. The end of the read posts kPlotReadOverMessage to the main dialog, whose handler
// calls RunWaitingAfterPlotRead.
void AfterPlotRead(void (*action)());
constexpr UINT kPlotReadOverMessage = WM_APP + 0x42;
void RunWaitingAfterPlotRead();

// Measures and draws path into the preview and shows its statistics; how the file loaded.
// Nothing happens while another read goes on (Unreadable then).
PlotLoad LoadPlotPreview(HWND gfx, const std::string& path);
// The message boxes about a plot file: too large (only its first bytes count), or not readable.
void ShowPlotFileCut(const std::string& path);
void ShowPlotFileUnreadable(const std::string& path, const char* consequence);
// The open dialog of plot files, starting at the plot file chosen last.
FileDialog PlotFileDialog(const std::string& previous);
// BtnOpenPlot: the open dialog, then the preview of the chosen file. Ignored during a run:
// the running read must not be fed from another file; during a build, it waits for its end.
void OpenPlotFile();
