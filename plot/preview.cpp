#include "plot/preview.h"

#include <cfloat>
#include <limits>

#include "base/numbers.h"
#include "base/paths.h"
#include "plot/hpgl_reader.h"

namespace {

// A move's pixel walk may overshoot its length (the slope is single precision), by less than
// twice the longest move; positions keep this far from the ends of the 32-bit range.
constexpr int64_t kPositionMargin = int64_t{1} << 20;

// x87 builds keep floats in wider registers; a store rounds each step to single precision as
// every other build does, so the same pixels are set everywhere.
float Single(float v) {
#if FLT_EVAL_METHOD != 0
    volatile float s = v;
    return s;
#else
    return v;
#endif
}

bool PositionFits(int64_t v) {
    return v >= std::numeric_limits<int32_t>::min() + kPositionMargin &&
           v <= std::numeric_limits<int32_t>::max() - kPositionMargin;
}

int32_t Abs(int32_t v) { return v < 0 ? -v : v; }  // callers keep v far from INT32_MIN

std::string Cut(std::string text) {
    if (text.size() > kPensListMax) text.resize(kPensListMax);
    return text;
}

std::string ExtentText(const char* label, int32_t ext) {
    return Cut(label + NumberText(ext) + "/" + FormatNumber(static_cast<double>(ext) / kPlotterUnitsPerMm, "0.00") + "mm");
}

int64_t ScaleAxis(int32_t ext, int32_t size) { return RoundToInteger(static_cast<double>(ext) / size + 1.0); }

}  // namespace

uint32_t PenColour(int32_t pen) { return (static_cast<uint32_t>(pen) * 8u) & 0x00FFFFFFu; }

uint32_t PixelFromColour(uint32_t rgb) {
    return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

void ClearPlotCanvas(PlotCanvas& canvas, uint32_t rgb) {
    if (!canvas.Pixels) return;
    const uint32_t pixel = PixelFromColour(rgb);
    for (int32_t row = 0; row < canvas.Height; ++row) {
        uint32_t* line = canvas.Pixels + static_cast<int64_t>(row) * canvas.Stride;
        for (int32_t col = 0; col < canvas.Width; ++col) line[col] = pixel;
    }
}

namespace {

// The points of one move that share a minor-axis value: major steps a..b, minor step m.
struct MoveWalk {
    PlotState& st;
    const PlotCanvas* canvas;  // none while measuring
    bool xMajor;
    int32_t sMajor, sMinor;
    uint32_t pixel;

    void Stretch(int64_t a, int64_t b, int64_t m) const {
        if (a > b || !st.PenDown) return;
        // Major coordinates from a to b in either direction, and the one minor coordinate.
        const int64_t majorBase = xMajor ? st.DrawPosX : st.DrawPosY;
        const int64_t minorPos = (xMajor ? st.DrawPosY : st.DrawPosX) + sMinor * m;
        const int64_t lo = majorBase + (sMajor > 0 ? a : -b), hi = majorBase + (sMajor > 0 ? b : -a);
        const int64_t maxX = xMajor ? hi : minorPos, maxY = xMajor ? minorPos : hi;
        if (maxX > st.ExtMaxX) st.ExtMaxX = static_cast<int32_t>(maxX);
        if (maxY > st.ExtMaxY) st.ExtMaxY = static_cast<int32_t>(maxY);
        if (!canvas || !canvas->Pixels) return;
        const int64_t flip = int64_t{st.GraphicHeight} - 1;
        if (xMajor) {
            const int64_t row = flip - minorPos;
            if (row < 0 || row >= canvas->Height) return;
            uint32_t* line = canvas->Pixels + row * canvas->Stride;
            for (int64_t col = lo < 0 ? 0 : lo; col <= hi && col < canvas->Width; ++col) line[col] = pixel;
        } else {
            const int64_t col = minorPos;
            if (col < 0 || col >= canvas->Width) return;
            const int64_t top = flip - hi, bottom = flip - lo;
            for (int64_t row = top < 0 ? 0 : top; row <= bottom && row < canvas->Height; ++row) {
                canvas->Pixels[row * canvas->Stride + col] = pixel;
            }
        }
    }
};

}  // namespace

// The pixel walk, one step at a time:
//
//   repeat: major += 1; if major > t then t += r, minor += 1; mark (major, minor)
//   until major >= |major move| and minor >= |minor move|
//
// with r and t in single precision. Steps between two minor steps only mark points, so the
// walk goes from one minor step to the next: minor step m+1 falls on major step floor(t) + 1.
// A pen-up or measured move then costs its minor length, not its major length, and marks
// exactly the points of the step walk, drift of the single-precision slope included.
void DrawMove(PlotState& st, const PlotHost& host, int32_t dx, int32_t dy) {
    if (dx > kMoveLimit || dx < -kMoveLimit || dy > kMoveLimit || dy < -kMoveLimit) return;
    if (!PositionFits(int64_t{st.DrawPosX} + dx) || !PositionFits(int64_t{st.DrawPosY} + dy)) return;
    // A move takes well under a millisecond, so asking once per move keeps the 25 ms pump.
    if (host.DrawStep && !host.DrawStep()) return;

    const int32_t ax = Abs(dx), ay = Abs(dy);
    // A zero move counts as y-major; its one step sets the current point.
    const bool xMajor = ax >= ay && ax > 0;
    const int32_t major = xMajor ? ax : ay, minor = xMajor ? ay : ax;
    const int32_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    const MoveWalk walk{st,        st.MeasureOnly ? nullptr : host.Canvas, xMajor, xMajor ? sx : sy, xMajor ? sy : sx,
                        PixelFromColour(PenColour(st.CurrentPen))};
    if (major == 0) {
        walk.Stretch(0, 0, 0);
        return;
    }
    const float r = Single(static_cast<float>(major) / static_cast<float>(minor ? minor : 1));
    float t = Single(r / 2);
    int64_t k = 0, m = 0;  // major and minor steps taken
    for (;;) {
        const int64_t floorT = static_cast<int64_t>(t);  // t is positive and below 2^24
        const int64_t kMinor = floorT + 1 > k + 1 ? floorT + 1 : k + 1;
        if (m >= minor) {
            // The walk ends at the first step that reaches the major length, unless a minor
            // step comes first.
            const int64_t kEnd = major > k + 1 ? major : k + 1;
            if (kEnd < kMinor) {
                walk.Stretch(k + 1, kEnd, m);
                k = kEnd;
                break;
            }
        }
        walk.Stretch(k + 1, kMinor - 1, m);
        ++m;
        t = Single(t + r);
        walk.Stretch(kMinor, kMinor, m);
        k = kMinor;
        if (k >= major && m >= minor) break;
    }
    const int32_t cMajor = static_cast<int32_t>(k) * walk.sMajor, cMinor = static_cast<int32_t>(m) * walk.sMinor;
    st.DrawPosX += xMajor ? cMajor : cMinor;
    st.DrawPosY += xMajor ? cMinor : cMajor;
}

void AddPenToList(PlotState& st, int32_t pen) {
    std::string& list = st.PensList;
    if (list.empty()) list = "SP's: ";
    // A full list takes nothing more; below the cut every entry ends with ", ".
    if (list.size() >= kPensListMax) return;
    const std::string entry = NumberText(pen) + ", ";
    for (std::size_t at = 6; at < list.size();) {
        const std::size_t end = list.find(", ", at);
        if (end == std::string::npos) break;
        if (list.compare(at, end + 2 - at, entry) == 0) return;
        at = end + 2;
    }
    list = Cut(list + entry);
}

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
    pass.QueueChar = nullptr;

    st.PensList.clear();
    st.DrawScale = 1;
    st.MeasureOnly = true;
    ReadPlotText(st, text, pass);
    st.MeasureOnly = false;

    const std::array<std::string, 5> parts = PlotStatistics(st, path);
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (host.StatusText) host.StatusText(static_cast<int>(k) + 2, parts[k]);
    }

    st.GraphicWidth = host.Canvas ? host.Canvas->Width : 0;
    st.GraphicHeight = host.Canvas ? host.Canvas->Height : 0;
    st.DrawScale = PlotScale(st.ExtMaxX, st.ExtMaxY, st.GraphicWidth, st.GraphicHeight);
    if (host.Canvas) ClearPlotCanvas(*host.Canvas, kPreviewBackground);
    ReadPlotText(st, text, pass);
    st.PlotFile = path;
}

void BuildPlotPreview(PlotState& st, const std::string& path, const PlotHost& host) {
    // One load serves both passes: the text cannot change between them.
    const std::string text = LoadPlotText(path);
    BuildPlotPreviewFromText(st, path, text, host);
}
