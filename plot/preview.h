#pragma once
// The preview of a plot file: the pixel walk of a move, the pens in use, the statistics of
// the status bar, the scale, and the two reads that measure and then draw the file.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "plot/plot_state.h"

// Windows RGB values, red in the low byte.
constexpr uint32_t kPreviewBackground = 0x00E0FFFF;  // RGB(255,255,224) after a preview load
constexpr uint32_t kRunBackground = 0x0090EE90;      // RGB(144,238,144) during a run

// 8 x pen as an RGB value (pen 1 RGB(8,0,0), pen 32 RGB(0,1,0)). Only the 24 colour bits
// count, so that huge or negative pen numbers still give a colour.
uint32_t PenColour(int32_t pen);

// An RGB value as the canvas stores it (0x00RRGGBB).
uint32_t PixelFromColour(uint32_t rgb);

// Fills the whole canvas with an RGB value.
void ClearPlotCanvas(PlotCanvas& canvas, uint32_t rgb);

// Walks a move of dx, dy drawing units from DrawPosX/DrawPosY one pixel step at a time: the
// start point is not drawn, each point stepped onto is (a zero move: the current point once),
// only while PenDown, in PenColour(CurrentPen), at column x and row GraphicHeight - y - 1 of
// host.Canvas, unless MeasureOnly. Pen-down steps raise ExtMaxX/ExtMaxY. The position
// advances in either pen state. A move longer than kMoveLimit on either axis is ignored
// whole, and so is one that would take the position near the end of the 32-bit range.
void DrawMove(PlotState& st, const PlotHost& host, int32_t dx, int32_t dy);

// Adds a pen to PensList ("SP's: 12, 1, 2, "): each pen once, in order of first selection,
// the text cut at kPensListMax characters.
void AddPenToList(PlotState& st, int32_t pen);

// The larger of round(extMaxX / width + 1) and round(extMaxY / height + 1), ties to even.
// Negative extents give what the formula gives (0 or negative). A size of 0, or a result
// beyond 32 bits, has no scale: 0, and a read with scale 0 makes no moves.
int32_t PlotScale(int32_t extMaxX, int32_t extMaxY, int32_t width, int32_t height);

// Status-bar parts 2..6 after a measuring pass: the file name (after the last "\" of the
// path), "Dateigröße: 2.00 kB", "X-Max: 8000/200.00mm", "Y-Max: ...", PensList; each cut at
// kPensListMax characters.
std::array<std::string, 5> PlotStatistics(const PlotState& st, const std::string& path);

// The preview's portable part, after the window side has made host.Canvas the size of the
// graphic control: empties PensList, measures with scale 1 (MeasureOnly), hands the five
// statistics texts to host.StatusText, takes the canvas size as GraphicWidth/GraphicHeight,
// sets DrawScale, clears the canvas to kPreviewBackground, draws, and sets PlotFile to path.
// A preview never feeds a run: host.QueueChar is not called.
void BuildPlotPreview(PlotState& st, const std::string& path, const PlotHost& host);

// The same over a text already in memory; path only names the file in the statistics.
void BuildPlotPreviewFromText(PlotState& st, const std::string& path, std::string_view text, const PlotHost& host);
