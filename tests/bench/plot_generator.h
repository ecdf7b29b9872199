#pragma once
// The benchmarks' plots: the largest file the program accepts, of realistic polylines, in two
// kinds of stroke; and a crafted file of nothing but long pen-up moves.
#include <cmath>
#include <random>
#include <string>

#include "plot/plot_state.h"

enum class Strokes { Short, Long };

// Polylines on a sheet, a pen change now and then, one command line per polyline, cut at
// kPlotTextMax bytes.
//   Short: 2 to 40 points, steps of up to ±60 units on an A3 sheet (16000 x 11000 units).
//   Long:  2 to 40 points, strokes of 200 to 800 units that run across a 400 x 300 mm sheet
//          (16000 x 12000 units), turning back at its edges; four pens.
inline std::string GeneratePlot(Strokes kind = Strokes::Short) {
    std::mt19937 rng(kind == Strokes::Short ? 4180 : 4181);
    std::uniform_int_distribution<int> points(2, 40), step(-60, 60), pen(1, 4), start(0, 15000);
    std::uniform_int_distribution<int> length(200, 800), turn(-45, 45), heading(0, 359);
    std::string text = "IN;SP1;\r\n";
    text.reserve(kPlotTextMax + 1000);
    int polylines = 0;
    while (text.size() < static_cast<std::size_t>(kPlotTextMax)) {
        if (++polylines % (kind == Strokes::Short ? 200 : 20) == 0) text += "SP" + std::to_string(pen(rng)) + ";\r\n";
        int x = start(rng), y = start(rng) * (kind == Strokes::Short ? 11 : 12) / 16;
        int degrees = heading(rng);
        text += "PU" + std::to_string(x) + "," + std::to_string(y) + ";PD";
        const int n = points(rng);
        for (int i = 0; i < n; ++i) {
            if (kind == Strokes::Short) {
                x += step(rng);
                y += step(rng);
            } else {
                degrees += turn(rng);
                const double a = degrees * 3.14159265358979 / 180, l = length(rng);
                x += static_cast<int>(l * std::cos(a));
                y += static_cast<int>(l * std::sin(a));
                // Back onto the sheet, heading the other way.
                if (x < 0 || x > 16000) {
                    x = x < 0 ? -x : 32000 - x;
                    degrees = 180 - degrees;
                }
                if (y < 0 || y > 12000) {
                    y = y < 0 ? -y : 24000 - y;
                    degrees = -degrees;
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
