#pragma once
// The benchmarks' plots: the largest file the program accepts, of realistic polylines, in two
// kinds of stroke; and a crafted file of nothing but long pen-up moves.
#include <cmath>
#include <random>
#include <string>

#include "plot/plot_state.h"

enum class Strokes { Short, Long };

// Polylines of 2 to 40 points, one command line each, a pen change now and then, cut at
// kPlotTextMax bytes.
//   Short: steps of up to ±60 units on an A3 sheet (16000 x 11000 units).
//   Long:  strokes of 200 to 800 units that wander across a 400 x 300 mm sheet (16000 x 12000
//          units), turning back at its edges; four pens.
inline std::string GeneratePlot(Strokes kind = Strokes::Short) {
    const bool isShort = kind == Strokes::Short;
    std::mt19937 rng(isShort ? 4180 : 4181);
    std::uniform_int_distribution<int> points(2, 40), step(-60, 60), pen(1, 4), start(0, 15000);
    std::uniform_int_distribution<int> length(200, 800), turn(-45, 45);
    std::string text = "IN;SP1;\r\n";
    text.reserve(kPlotTextMax + 1000);
    for (int polylines = 1; text.size() < static_cast<std::size_t>(kPlotTextMax); ++polylines) {
        if (polylines % (isShort ? 200 : 20) == 0) text += "SP" + std::to_string(pen(rng)) + ";\r\n";
        int x = start(rng), y = start(rng) * (isShort ? 11 : 12) / 16;
        double heading = isShort ? 0 : start(rng);
        text += "PU" + std::to_string(x) + "," + std::to_string(y) + ";PD";
        for (int i = 0, n = points(rng); i < n; ++i) {
            if (isShort) {
                x += step(rng);
                y += step(rng);
            } else {
                heading += turn(rng) / 57.3;
                const double l = length(rng);
                x += static_cast<int>(l * std::cos(heading));
                y += static_cast<int>(l * std::sin(heading));
                if (x < 0 || x > 16000 || y < 0 || y > 12000) {  // back onto the sheet
                    x = x < 0 ? -x : x > 16000 ? 32000 - x : x;
                    y = y < 0 ? -y : y > 12000 ? 24000 - y : y;
                    heading += 3.14159;
                }
            }
            text += (i ? "," : "") + std::to_string(x) + "," + std::to_string(y);
        }
        text += ";\r\n";
    }
    text.resize(kPlotTextMax);
    return text;
}

// "SP1;PD0,0;PU;PA" and then "90000,90000,0,0," up to the given size: pen-up diagonals as long
// as a move may be, over and over.
inline std::string GeneratePenUpPlot(std::size_t bytes) {
    std::string text = "SP1;PD0,0;PU;PA";
    while (text.size() < bytes) text += "90000,90000,0,0,";
    text.resize(bytes);
    return text;
}
