// The plot reader and the preview on large plot files, beside hp2xx on the same files.
//   plot_reader_bench --write DIR   writes the benchmark plots into DIR
//   plot_reader_bench FILE...       times, for each file (medians of several runs):
//     reader alone     the walk with scale 0: pairs are read, no move is made
//     preview          measuring pass + drawing pass into an 800 x 600 image
//     run's walk       a run's read after that preview: every character through the line
//                      assembly, the moves drawn with the preview's scale
//     hp2xx            `hp2xx -q -m png FILE`, when hp2xx is installed
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/process_state.h"
#include "plot/hpgl_reader.h"
#include "plot/plot_run.h"
#include "plot/preview.h"
#include "tests/bench/plot_generator.h"

namespace {

constexpr int kRuns = 5;

template <typename Pass>
double MedianSeconds(Pass&& pass) {
    std::vector<double> s;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        pass();
        s.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(s.begin(), s.end());
    return s[s.size() / 2];
}

std::vector<uint32_t> Pixels(800 * 600);
volatile int32_t Shown;  // the progress, kept so that reporting it is not optimised away

PlotHost CanvasHost(PlotCanvas& canvas) {
    PlotHost host;
    host.Canvas = &canvas;
    host.Progress = [](int32_t p) { Shown = p; };
    host.DrawStep = [] { return true; };
    return host;
}

PlotState Preview(const std::string& text) {
    PlotState st;
    PlotCanvas canvas{Pixels.data(), 800, 600, 800};
    BuildPlotPreviewFromText(st, "C:\\bench.plt", text, CanvasHost(canvas));
    return st;
}

std::size_t RunWalk(PlotState st, const std::string& text) {
    std::size_t bytes = 0;
    PlotLineOut out;
    out.WaitBeforeLine = [] { return true; };
    out.Send = [&](const std::string& line) { bytes += line.size(); };
    PlotCanvas canvas{Pixels.data(), 800, 600, 800};
    PlotHost host = CanvasHost(canvas);
    host.QueueChar = [&](char c) { QueuePlotChar(st, RunAuto, c, out); };
    ReadPlotText(st, text, host);
    return bytes;
}

bool Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

void Time(const std::string& path) {
    const std::string text = LoadPlotText(path);
    const double mb = text.size() / 1e6;
    const double parse = MedianSeconds([&] {
        PlotState st;
        st.DrawScale = 0;
        ReadPlotText(st, text, PlotHost{});
    });
    const double measure = MedianSeconds([&] {
        PlotState st;
        st.MeasureOnly = true;
        ReadPlotText(st, text, PlotHost{});
    });
    PlotState previewed;
    const double preview = MedianSeconds([&] { previewed = Preview(text); });
    volatile std::size_t sent = 0;
    const double run = MedianSeconds([&] { sent = RunWalk(previewed, text); });

    std::printf("%s: %zu bytes, scale %d\n", path.c_str(), text.size(), previewed.DrawScale);
    std::printf("  reader alone            %8.1f ms  %6.0f MB/s\n", parse * 1e3, mb / parse);
    std::printf("  measuring pass          %8.1f ms\n", measure * 1e3);
    std::printf("  preview (measure+draw)  %8.1f ms\n", preview * 1e3);
    std::printf("  run's reading walk      %8.1f ms\n", run * 1e3);
    const std::string command = "hp2xx -q -m png '" + path + "' >/dev/null 2>&1";
    if (std::system("command -v hp2xx >/dev/null 2>&1") != 0) {
        std::printf("  hp2xx                   not installed\n");
        return;
    }
    const double hp2xx = MedianSeconds([&] { (void)std::system(command.c_str()); });
    std::printf("  hp2xx -q -m png         %8.1f ms\n", hp2xx * 1e3);
    std::printf("  preview / hp2xx         %8.2f\n", preview / hp2xx);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write") {
        const std::string dir = argv[2];
        const bool ok = Write(dir + "/short-strokes.plt", GeneratePlot(Strokes::Short)) &&
                        Write(dir + "/long-strokes.plt", GeneratePlot(Strokes::Long)) &&
                        Write(dir + "/pen-up-1M.plt", GeneratePenUpPlot(1 << 20));
        return ok ? 0 : 1;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: plot_reader_bench --write DIR | FILE...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) Time(argv[i]);
    return 0;
}
