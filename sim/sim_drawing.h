#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim_machine.h"

// What the simulated machine drew, as a picture that looks like the program's preview: light
// yellow paper, X to the right and Y upwards from the bottom left corner, each pen in the
// preview's color (8 x pen as a Windows RGB value, red in the low byte: pen 1 is almost
// black). The picture starts at plot point (0,0), or lower where the pen went below it.

constexpr int kSimDrawingMaxSide = 800;  // pixels, margins included
constexpr int kSimDrawingMargin = 8;

struct SimPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows from the top, three bytes a pixel
};

// Scaled down by a whole number of plotter units a pixel, so that neither side exceeds maxSide.
SimPicture SimRenderDrawing(const std::vector<SimStroke>& strokes, int maxSide = kSimDrawingMaxSide);

// The picture as a PNG file's bytes (8-bit RGB, deflate with fixed codes and runs).
std::string SimEncodePng(const SimPicture& picture);

// Writes the PNG beside `path` and renames it into place, so a reader never sees half a file.
bool SimWriteDrawing(const std::string& path, const std::vector<SimStroke>& strokes);
