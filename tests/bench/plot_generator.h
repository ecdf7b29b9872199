#pragma once
// The benchmarks' plot: the largest file the program accepts, of realistic polylines.
#include <random>
#include <string>

#include "plot/plot_state.h"

// Polylines of 2 to 40 points with short strokes on an A3 sheet (16000 x 11000 units),
// a pen change now and then, one command line per polyline.
inline std::string GeneratePlot() {
    std::mt19937 rng(4180);
    std::uniform_int_distribution<int> points(2, 40), step(-60, 60), pen(1, 4), start(0, 15000);
    std::string text = "IN;SP1;\r\n";
    text.reserve(kPlotTextMax + 1000);
    int polylines = 0;
    while (text.size() < static_cast<std::size_t>(kPlotTextMax)) {
        if (++polylines % 200 == 0) text += "SP" + std::to_string(pen(rng)) + ";\r\n";
        int x = start(rng), y = start(rng) * 11 / 16;
        text += "PU" + std::to_string(x) + "," + std::to_string(y) + ";PD";
        const int n = points(rng);
        for (int i = 0; i < n; ++i) {
            x += step(rng);
            y += step(rng);
            text += (i ? "," : "") + std::to_string(x) + "," + std::to_string(y);
        }
        text += ";\r\n";
    }
    text.resize(kPlotTextMax);
    return text;
}

