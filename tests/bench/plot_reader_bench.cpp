// The plot reader and the preview on large plot files, beside hp2xx on the same files.
//   plot_reader_bench --write DIR   writes the benchmark plots into DIR
//   plot_reader_bench FILE...       times, for each file (medians of several runs, wall clock
//                                   and processor time):
//     reader alone     the walk with scale 0: pairs are read, no move is made
//     preview          measuring pass + drawing pass into an 800 x 600 image
//     run's walk       a run's read after that preview: every character through the line
//                      assembly, the moves drawn with the preview's scale
//     hp2xx            `hp2xx -q -m png FILE`, when hp2xx is installed
// Native only (POSIX: the processor time of hp2xx is a child's).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "base/process_state.h"
#include "plot/hpgl_reader.h"
#include "plot/plot_run.h"
#include "plot/preview.h"
#include "tests/bench/plot_generator.h"

namespace {

constexpr int kRuns = 5;

struct Seconds {
    double wall, cpu;
};

// Processor time of this process, or of its finished children.
double CpuSeconds(int who) {
    rusage u = {};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

template <typename Pass>
Seconds MedianSeconds(Pass&& pass, int who = RUSAGE_SELF) {
    std::vector<Seconds> s;
    for (int i = 0; i < kRuns; ++i) {
        const double c0 = CpuSeconds(who);
        const auto t0 = std::chrono::steady_clock::now();
        pass();
        s.push_back({std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(), CpuSeconds(who) - c0});
    }
    const auto median = [&](double Seconds::*field) {
        std::sort(s.begin(), s.end(), [&](const Seconds& a, const Seconds& b) { return a.*field < b.*field; });
        return s[s.size() / 2].*field;
    };
    return {median(&Seconds::wall), median(&Seconds::cpu)};
}

void Print(const char* what, Seconds s) {
    std::printf("  %-24s%8.1f ms %8.1f ms cpu\n", what, s.wall * 1e3, s.cpu * 1e3);
}

std::vector<uint32_t> Pixels(800 * 600);

PlotHost CanvasHost(PlotCanvas& canvas) {
    PlotHost host;
    host.Canvas = &canvas;
    host.DrawStep = [] { return true; };  // the program's pump asks once a move
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

void Time(const std::string& path) {
    const std::string text = LoadPlotText(path);
    const Seconds parse = MedianSeconds([&] {
        PlotState st;
        st.DrawScale = 0;
        ReadPlotText(st, text, PlotHost{});
    });
    PlotState previewed;
    const Seconds preview = MedianSeconds([&] { previewed = Preview(text); });
    volatile std::size_t sent = 0;
    const Seconds run = MedianSeconds([&] { sent = RunWalk(previewed, text); });

    std::printf("%s: %zu bytes, scale %d\n", path.c_str(), text.size(), previewed.DrawScale);
    Print("reader alone", parse);
    std::printf("  %-24s%8.0f MB/s %6.0f MB/s cpu\n", "", text.size() / 1e6 / parse.wall, text.size() / 1e6 / parse.cpu);
    Print("preview (measure+draw)", preview);
    Print("run's reading walk", run);
    if (std::system("command -v hp2xx >/dev/null 2>&1") != 0) {
        std::printf("  hp2xx                   not installed\n");
        return;
    }
    const std::string command = "hp2xx -q -m png '" + path + "' >/dev/null 2>&1";
    const Seconds hp2xx = MedianSeconds([&] { (void)std::system(command.c_str()); }, RUSAGE_CHILDREN);
    Print("hp2xx -q -m png", hp2xx);
    std::printf("  %-24s%8.2f x   %8.2f x cpu\n", "preview / hp2xx", preview.wall / hp2xx.wall, preview.cpu / hp2xx.cpu);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--write") {
        const std::string dir = argv[2];
        std::ofstream(dir + "/short-strokes.plt", std::ios::binary) << GeneratePlot(Strokes::Short);
        std::ofstream(dir + "/long-strokes.plt", std::ios::binary) << GeneratePlot(Strokes::Long);
        return std::ofstream(dir + "/pen-up-1M.plt", std::ios::binary) << GeneratePenUpPlot(1 << 20) ? 0 : 1;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: plot_reader_bench --write DIR | FILE...\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) Time(argv[i]);
    return 0;
}
