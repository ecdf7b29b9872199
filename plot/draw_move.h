#pragma once
// What one move of a plot file does to the preview: the pixel walk, the extents, the pens in
// use, and the colors of the canvas it draws on.
#include <cstdint>
#include <string>

#include "plot/plot_state.h"

// Windows RGB values, red in the low byte.
constexpr uint32_t kPreviewBackground = 0x00E0FFFF;  // RGB(255,255,224) after a preview load
constexpr uint32_t kRunBackground = 0x0090EE90;      // RGB(144,238,144) during a run

// 8 x pen as an RGB value (pen 1 RGB(8,0,0), pen 32 RGB(0,1,0)). Only the 24 color bits
// count, so that huge or negative pen numbers still give a color.
uint32_t PenColor(int32_t pen);

// An RGB value as the canvas stores it (0x00RRGGBB).
uint32_t PixelFromColor(uint32_t rgb);

// Fills the whole canvas with an RGB value.
void ClearPlotCanvas(PlotCanvas& canvas, uint32_t rgb);

// Walks a move of dx, dy drawing units from DrawPosX/DrawPosY one pixel step at a time: the
// start point is not drawn, each point stepped onto is (a zero move: the current point once),
// only while PenDown, in PenColor(CurrentPen), at column x and row GraphicHeight - y - 1 of
// host.canvas, unless MeasureOnly. Pen-down steps raise ExtMaxX/ExtMaxY. The position
// advances in either pen state. A move longer than kMoveLimit on either axis is ignored
// whole, and so is one that would take the position near the end of the 32-bit range.
void DrawMove(PlotState& st, const PlotHost& host, int32_t dx, int32_t dy);

// Adds a pen to PensList ("SP's: 12, 1, 2, "): each pen once, in order of first selection,
// the text cut at kPensListMax characters.
void AddPenToList(PlotState& st, int32_t pen);
