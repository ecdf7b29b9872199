// Throughput of the plot reader on the largest file the program accepts: a generated plot of
// 9,999,999 bytes of polylines in several pens, read from memory.
//   ReadPlot/parse    the walk alone (scale 0: pairs are read, no move is made)
//   ReadPlot/measure  a measuring pass, moves tracked by DrawMove
//   Preview           measuring pass + drawing pass into an 800 x 600 image
//   RunLines          a run's read with every character through the line assembly
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/process_state.h"
#include "plot/hpgl_reader.h"
#include "plot/plot_run.h"
#include "plot/preview.h"
#include "tests/bench/plot_generator.h"

namespace {

const std::string& Plot9M() {
    static const std::string text = GeneratePlot();
    return text;
}

void ReadParse() {
    PlotState st;
    st.DrawScale = 0;
    ReadPlotText(st, Plot9M(), PlotHost{});
}

void ReadMeasure() {
    PlotState st;
    st.MeasureOnly = true;
    ReadPlotText(st, Plot9M(), PlotHost{});
}

std::vector<uint32_t> Pixels(800 * 600);

int32_t Preview() {
    PlotState st;
    PlotCanvas canvas{Pixels.data(), 800, 600, 800};
    PlotHost host;
    host.Canvas = &canvas;
    volatile int32_t shown = 0;
    host.Progress = [&](int32_t p) { shown = p; };
    host.DrawStep = [] { return true; };
    BuildPlotPreviewFromText(st, "C:\\bench.plt", Plot9M(), host);
    return st.DrawScale;
}

std::size_t RunLines() {
    PlotState st;
    std::size_t bytes = 0;
    PlotLineOut out;
    out.WaitBeforeLine = [] { return true; };
    out.Send = [&](const std::string& line) { bytes += line.size(); };
    PlotHost host;
    host.QueueChar = [&](char c) { QueuePlotChar(st, RunAuto, c, out); };
    ReadPlotText(st, Plot9M(), host);
    return bytes;
}

}  // namespace

#if __has_include(<benchmark/benchmark.h>)
#include <benchmark/benchmark.h>

namespace {

void SetRate(benchmark::State& state) {
    state.counters["MB/s"] = benchmark::Counter(Plot9M().size() / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ReadPlotParse(benchmark::State& state) {
    Plot9M();
    for (auto _ : state) ReadParse();
    SetRate(state);
}

void BM_ReadPlotMeasure(benchmark::State& state) {
    Plot9M();
    for (auto _ : state) ReadMeasure();
    SetRate(state);
}

void BM_Preview(benchmark::State& state) {
    Plot9M();
    for (auto _ : state) benchmark::DoNotOptimize(Preview());
    SetRate(state);
}

void BM_RunLines(benchmark::State& state) {
    Plot9M();
    for (auto _ : state) benchmark::DoNotOptimize(RunLines());
    SetRate(state);
}

}  // namespace

BENCHMARK(BM_ReadPlotParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPlotMeasure)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Preview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunLines)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

#else
#include <chrono>
#include <cstdio>

int main() {
    Plot9M();
    const auto time = [](const char* name, auto&& pass) {
        const auto t0 = std::chrono::steady_clock::now();
        pass();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%-20s %8.1f ms %8.1f MB/s\n", name, s * 1e3, Plot9M().size() / 1e6 / s);
    };
    time("ReadPlot/parse", ReadParse);
    time("ReadPlot/measure", ReadMeasure);
    time("Preview", Preview);
    time("RunLines", RunLines);
}
#endif
