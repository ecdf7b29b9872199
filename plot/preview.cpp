#include "plot/preview.h"

#include <limits>

#include "base/numbers.h"
#include "base/paths.h"
#include "plot/hpgl_reader.h"

namespace {

std::string Cut(std::string text) {
    if (text.size() > kPensListMax) text.resize(kPensListMax);
    return text;
}

std::string ExtentText(const char* label, int32_t ext) {
    return Cut(label + NumberText(ext) + "/" + FormatNumber(static_cast<double>(ext) / kPlotterUnitsPerMm, "0.00") +
               "mm");
}

int64_t ScaleAxis(int32_t ext, int32_t size) { return RoundToInteger(static_cast<double>(ext) / size + 1.0); }

}  // namespace

int32_t PlotScale(int32_t extMaxX, int32_t extMaxY, int32_t width, int32_t height) {
    if (width == 0 || height == 0) return 0;
    const int64_t sx = ScaleAxis(extMaxX, width), sy = ScaleAxis(extMaxY, height);
    const int64_t scale = sx > sy ? sx : sy;
    if (scale < std::numeric_limits<int32_t>::min() || scale > std::numeric_limits<int32_t>::max()) return 0;
    return static_cast<int32_t>(scale);
}

std::array<std::string, 5> PlotStatistics(const PlotState& st, const std::string& path) {
    return {
        Cut(FileNamePart(path, "\\")),
        Cut("Dateigröße: " + FormatNumber(st.PlotFileLength / 1024.0, "0.00") + " kB"),
        ExtentText("X-Max: ", st.ExtMaxX),
        ExtentText("Y-Max: ", st.ExtMaxY),
        Cut(st.PensList),
    };
}

void BuildPlotPreviewFromText(PlotState& st, const std::string& path, std::string_view text, const PlotHost& host) {
    PlotHost pass = host;
    pass.queueChar = nullptr;

    st.PensList.clear();
    st.DrawScale = 1;
    st.MeasureOnly = true;
    ReadPlotText(st, text, pass);
    st.MeasureOnly = false;

    const std::array<std::string, 5> parts = PlotStatistics(st, path);
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (host.statusText) host.statusText(static_cast<int>(k) + 2, parts[k]);
    }

    st.GraphicWidth = host.canvas ? host.canvas->width : 0;
    st.GraphicHeight = host.canvas ? host.canvas->height : 0;
    st.DrawScale = PlotScale(st.ExtMaxX, st.ExtMaxY, st.GraphicWidth, st.GraphicHeight);
    if (host.canvas) ClearPlotCanvas(*host.canvas, kPreviewBackground);
    ReadPlotText(st, text, pass);
    st.PlotFile = path;
}

PlotLoad BuildPlotPreview(PlotState& st, const std::string& path, const PlotHost& host) {
    // One load serves both passes: the text cannot change between them.
    std::string text;
    const PlotLoad load = LoadPlotText(path, text);
    BuildPlotPreviewFromText(st, path, text, host);
    return load;
}
