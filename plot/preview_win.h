#pragma once
// The preview graphic GfxPreview and its off-screen image: a 32-bit DIB section that the
// control shows on every redraw and that the image export writes.
#include <windows.h>

#include <string>

#include "base/files_win.h"
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

// Measures and draws path into the preview and shows its statistics.
void LoadPlotPreview(HWND gfx, const std::string& path);
// The open dialog of plot files, starting at the plot file chosen last.
FileDialog PlotFileDialog(const std::string& previous);
// BtnOpenPlot: the open dialog, then the preview of the chosen file. Ignored during a run:
// the running read must not be fed from another file.
void OpenPlotFile();
