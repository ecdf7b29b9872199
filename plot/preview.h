#pragma once
// The preview of a plot file: the statistics of the status bar, the scale, and the two reads
// that measure and then draw the file.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "plot/draw_move.h"
#include "plot/hpgl_reader.h"
#include "plot/plot_state.h"

// The larger of round(extMaxX / width + 1) and round(extMaxY / height + 1), ties to even.
// Negative extents give what the formula gives (0 or negative). A size of 0, or a result
// beyond 32 bits, has no scale: 0, and a read with scale 0 makes no moves.
int32_t PlotScale(int32_t extMaxX, int32_t extMaxY, int32_t width, int32_t height);

// Status-bar parts 2..6 after a measuring pass: the file name (after the last "\" of the
// path), "Dateigröße: 2.00 kB", "X-Max: 8000/200.00mm", "Y-Max: ...", PensList; each cut at
// kPensListMax characters.
std::array<std::string, 5> PlotStatistics(const PlotState& st, const std::string& path);

// The preview's portable part, after the window side has made host.canvas the size of the
// graphic control: empties PensList, measures with scale 1 (MeasureOnly), hands the five
// statistics texts to host.statusText, takes the canvas size as GraphicWidth/GraphicHeight,
// sets DrawScale, clears the canvas to kPreviewBackground, draws, and sets PlotFile to path.
// A preview never feeds a run: host.queueChar is not called.
PlotLoad BuildPlotPreview(PlotState& st, const std::string& path, const PlotHost& host);

// The same over a text already in memory; path only names the file in the statistics.
void BuildPlotPreviewFromText(PlotState& st, const std::string& path, std::string_view text, const PlotHost& host);
