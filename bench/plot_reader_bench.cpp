// The plot reader and the preview on large plot files, beside hp2xx on the same files.
//   plot_reader_bench --write DIR   writes the benchmark plots into DIR
//   plot_reader_bench FILE...       medians of five runs, wall clock and processor time, of
//     the reader alone (scale 0: pairs are read, no move is made), the preview (measuring
//     pass + drawing pass into an 800 x 600 image) and `hp2xx -q -m png FILE` if installed.
// Native only (POSIX: the processor time of hp2xx is a child's).
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "plot/hpgl_reader.h"
#include "plot/preview.h"

namespace {

// Polylines of 2 to 40 points, one command line each, a pen change now and then, cut at
// kPlotTextMax bytes. Short strokes: steps of up to ±60 units on an A3 sheet. Long strokes:
// 200 to 800 units wandering across a 400 x 300 mm sheet, turning back at its edges.
std::string GeneratePlot(bool isShort) {
    std::mt19937 rng(isShort ? 4180 : 4181);
    std::uniform_int_distribution<int> points(2, 40), step(-60, 60), pen(1, 4), start(0, 15000), length(200, 800),
        turn(-45, 45);
    std::string text = "IN;SP1;\r\n";
    for (int polylines = 1; text.size() < static_cast<size_t>(kPlotTextMax); ++polylines) {
        if (polylines % (isShort ? 200 : 20) == 0) text += "SP" + std::to_string(pen(rng)) + ";\r\n";
        int x = start(rng), y = start(rng) * (isShort ? 11 : 12) / 16;
        double heading = isShort ? 0 : start(rng);
        text += "PU" + std::to_string(x) + "," + std::to_string(y) + ";PD";
        for (int i = 0, n = points(rng); i < n; ++i) {
            if (isShort) {
                x += step(rng), y += step(rng);
            } else {
                heading += turn(rng) / 57.3;
                const double l = length(rng);
                x += static_cast<int>(l * std::cos(heading)), y += static_cast<int>(l * std::sin(heading));
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

// Pen-up diagonals as long as a move may be, over and over: the cost must not follow the distance.
std::string GeneratePenUpPlot(size_t bytes) {
    std::string text = "SP1;PD0,0;PU;PA";
    while (text.size() < bytes) text += "90000,90000,0,0,";
    text.resize(bytes);
    return text;
}

struct Seconds {
    double wall, cpu;
};

double CpuSeconds(int who) {  // of this process, or of its finished children
    rusage u = {};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

template <typename Pass>
Seconds Median(Pass&& pass, int who = RUSAGE_SELF) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < 5; ++i) {
        const double c0 = CpuSeconds(who);
        const auto t0 = std::chrono::steady_clock::now();
        pass();
        wall.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        cpu.push_back(CpuSeconds(who) - c0);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[2], cpu[2]};
}

void Print(const char* what, Seconds s) {
    std::printf("  %-24s%8.1f ms %8.1f ms cpu\n", what, s.wall * 1e3, s.cpu * 1e3);
}

void Time(const std::string& path) {
    std::string text;
    LoadPlotText(path, text);
    const Seconds parse = Median([&] {
        PlotState st;
        st.DrawScale = 0;
        ReadPlotText(st, text, PlotHost{});
    });
    std::vector<uint32_t> pixels(800 * 600);
    PlotCanvas canvas{pixels.data(), 800, 600, 800};
    PlotHost host;
    host.canvas = &canvas;
    host.drawStep = [] { return true; };  // the program's pump asks once a move
    PlotState previewed;
    const Seconds preview = Median([&] {
        previewed = PlotState();
        BuildPlotPreviewFromText(previewed, "C:\\bench.plt", text, host);
    });
    std::printf("%s: %zu bytes, scale %d\n", path.c_str(), text.size(), previewed.DrawScale);
    Print("reader alone", parse);
    std::printf("  %-24s%8.0f MB/s %6.0f MB/s cpu\n", "", text.size() / 1e6 / parse.wall,
                text.size() / 1e6 / parse.cpu);
    Print("preview (measure+draw)", preview);
    if (std::system("command -v hp2xx >/dev/null 2>&1") != 0)
        return (void)std::printf("  hp2xx                   not installed\n");
    const std::string command = "hp2xx -q -m png '" + path + "' >/dev/null 2>&1";
    const Seconds hp2xx = Median([&] { (void)std::system(command.c_str()); }, RUSAGE_CHILDREN);
    Print("hp2xx -q -m png", hp2xx);
    std::printf("  %-24s%8.2f x   %8.2f x cpu\n", "preview / hp2xx", preview.wall / hp2xx.wall,
                preview.cpu / hp2xx.cpu);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write") {
        const std::string dir = argv[2];
        std::ofstream(dir + "/short-strokes.plt", std::ios::binary) << GeneratePlot(true);
        std::ofstream(dir + "/long-strokes.plt", std::ios::binary) << GeneratePlot(false);
        return std::ofstream(dir + "/pen-up-1M.plt", std::ios::binary) << GeneratePenUpPlot(1 << 20) ? 0 : 1;
    }
    if (argc < 2) return std::fprintf(stderr, "usage: plot_reader_bench --write DIR | FILE...\n"), 2;
    for (int i = 1; i < argc; ++i) Time(argv[i]);
    return 0;
}
