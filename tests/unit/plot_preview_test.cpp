#include "plot/preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <random>
#include <set>
#include <tuple>

namespace {

const uint32_t kBackground = PixelFromColor(kPreviewBackground);
using Ints = std::vector<int32_t>;
using Points = std::set<std::pair<int32_t, int32_t>>;

// A canvas with a padding column on each row, so that a write past a row's end shows.
struct Image {
    std::vector<uint32_t> words;
    PlotCanvas canvas;

    Image(int32_t w, int32_t h)
        : words(static_cast<size_t>((w + 1) * h), kBackground), canvas{words.data(), w, h, w + 1} {}
    // Every word that is not background, padding included, as (column, row).
    Points Marked() const {
        Points out;
        for (size_t i = 0; i < words.size(); ++i)
            if (words[i] != kBackground)
                out.insert({static_cast<int32_t>(i % canvas.stride), static_cast<int32_t>(i / canvas.stride)});
        return out;
    }
};

// The pixel walk taken literally, one step at a time in single precision: what DrawMove must do, however it does it.
void LiteralDrawMove(PlotState& st, const PlotCanvas& canvas, int32_t dx, int32_t dy) {
    if (std::abs(dx) > kMoveLimit || std::abs(dy) > kMoveLimit) return;
    const int32_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0), ax = std::abs(dx), ay = std::abs(dy);
    const bool xMajor = ax >= ay && ax > 0;
    const volatile float r = xMajor ? static_cast<float>(ax) / static_cast<float>(ay ? ay : 1)
                                    : static_cast<float>(ay) / static_cast<float>(ax ? ax : 1);
    volatile float t = r / 2;
    int32_t cx = 0, cy = 0;
    do {
        int32_t& major = xMajor ? cx : cy;
        int32_t& minor = xMajor ? cy : cx;
        major += xMajor ? sx : sy;
        if (static_cast<float>(std::abs(major)) > t) {
            t = t + r;
            minor += xMajor ? sy : sx;
        }
        if (!st.PenDown) continue;
        const int32_t x = st.DrawPosX + cx, y = st.DrawPosY + cy, row = st.GraphicHeight - y - 1;
        if (!st.MeasureOnly && x >= 0 && x < canvas.width && row >= 0 && row < canvas.height)
            canvas.pixels[row * canvas.stride + x] = PixelFromColor(PenColor(st.CurrentPen));
        st.ExtMaxX = std::max(st.ExtMaxX, x), st.ExtMaxY = std::max(st.ExtMaxY, y);
    } while (std::abs(cx) < ax || std::abs(cy) < ay);
    st.DrawPosX += cx, st.DrawPosY += cy;
}

TEST(DrawMove, AgreesWithTheLiteralWalk) {
    Image fast(48, 36), slow(48, 36);
    PlotHost host;
    host.canvas = &fast.canvas;
    const auto same = [&](PlotState st, int32_t dx, int32_t dy) {
        PlotState ref = st;
        DrawMove(st, host, dx, dy);
        LiteralDrawMove(ref, slow.canvas, dx, dy);
        return st.DrawPosX == ref.DrawPosX && st.DrawPosY == ref.DrawPosY && st.ExtMaxX == ref.ExtMaxX &&
               st.ExtMaxY == ref.ExtMaxY && fast.words == slow.words;
    };
    PlotState st;
    st.PenDown = true;
    st.GraphicHeight = 36;
    // Moves that enter the canvas on a minor step whose slope sum rounded a tie from an odd last bit.
    for (const auto& [dx, dy, x, y] : {std::array{416, 68, -20, -9}, std::array{68, 416, -9, -20}}) {
        st.DrawPosX = x, st.DrawPosY = y;
        EXPECT_TRUE(same(st, dx, dy)) << dx << "," << dy;
    }

    std::mt19937 rng(11);
    const auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
    for (int i = 0; i < 100000; ++i) {
        // Lengths over every binade up to the limit and past it; the longest rarely, the literal walk being slow.
        const int32_t len = i % 500 == 0 ? pick(kMoveLimit - 3000, kMoveLimit + 3000) : pick(0, 1 << pick(0, 11));
        int32_t other = pick(0, len);                           // any slope
        if (i % 5 == 1) other = 0;                              // along an axis
        if (i % 5 == 2) other = len;                            // 45 degrees
        if (i % 5 == 3) other = std::min(len, pick(1, 3));      // near an axis
        if (i % 5 == 4) other = std::max(0, len - pick(1, 3));  // near 45 degrees
        const bool xMajor = pick(0, 1) == 1;
        const int32_t dx = (xMajor ? len : other) * (pick(0, 1) ? 1 : -1);
        const int32_t dy = (xMajor ? other : len) * (pick(0, 1) ? 1 : -1);
        // Starts on, beside and far from the canvas; every other move crosses it on its way.
        const float along = i % 2 ? 0.0f : std::uniform_real_distribution<float>(0, 1)(rng);
        st.DrawPosX = pick(-70, 110) - static_cast<int32_t>(along * static_cast<float>(dx));
        st.DrawPosY = pick(-70, 110) - static_cast<int32_t>(along * static_cast<float>(dy));
        st.PenDown = pick(0, 3) != 0;
        st.MeasureOnly = pick(0, 7) == 0;
        st.CurrentPen = i;
        st.GraphicHeight = i % 7 ? 36 : 50;  // rows counted from a height other than the canvas's
        st.ExtMaxX = st.ExtMaxY = pick(0, 1) ? kExtentsReset : pick(-80, 120);
        ASSERT_TRUE(same(st, dx, dy)) << "move " << dx << "," << dy << " from " << st.DrawPosX << "," << st.DrawPosY
                                      << (st.PenDown ? " down" : " up") << (st.MeasureOnly ? " measuring" : "");
    }
}

TEST(DrawMove, PenStateColorsLimitsAndTheHost) {
    Image image(12, 12);
    PlotState st, edge;
    st.GraphicHeight = 12;
    st.DrawPosX = st.DrawPosY = 4;
    PlotHost host;
    host.canvas = &image.canvas;
    int asked = 0;
    host.drawStep = [&] { return ++asked < 4; };  // the dialog is gone at the fourth move
    // Pen up: moves, marks nothing; a zero move marks its point once; too long: skipped before the host is asked.
    const std::tuple<int32_t, int32_t, int32_t> moves[] = {
        {1, -2, -1},        {0, 0, 1}, {1, 0, 32}, {kMoveLimit + 1, 0, 32}, {0, -kMoveLimit - 1, 32},
        {INT32_MIN, 1, 32}, {1, 1, 32}};
    for (const auto& [dx, dy, pen] : moves) st.PenDown = pen > 0, st.CurrentPen = pen, DrawMove(st, host, dx, dy);
    // Positions keep 2^20 from the ends of 32 bits: one move reaches that edge (and is asked for), one would cross it.
    edge.DrawPosX = INT32_MAX - (1 << 20) - 5, edge.DrawPosY = INT32_MIN + (1 << 20) + 5;
    DrawMove(edge, host, 5, 0);
    DrawMove(edge, host, 0, -6);
    EXPECT_EQ(image.Marked(), (Points{{5, 9}, {6, 9}}));
    EXPECT_EQ(std::make_pair(image.words[9 * 13 + 5], image.words[9 * 13 + 6]), std::make_pair(0x080000u, 0x000100u))
        << "the zero move in pen 1, then pen 32";
    EXPECT_EQ(std::make_tuple(st.DrawPosX, st.DrawPosY, st.ExtMaxX, st.ExtMaxY, asked), std::make_tuple(6, 2, 6, 2, 5));
    EXPECT_EQ(std::make_pair(edge.DrawPosX, edge.DrawPosY),
              std::make_pair(INT32_MAX - (1 << 20) - 5, INT32_MIN + (1 << 20) + 5));
    // Pen colors are 8 x pen in 24 bits; a color as a word of the canvas.
    EXPECT_EQ(std::make_pair(PenColor(-1), PixelFromColor(kRunBackground)), std::make_pair(0xFFFFF8u, 0x90EE90u));
}

TEST(BuildPlotPreview, MeasuresThenDrawsToScale) {
    Image image(400, 300);
    image.words[0] = image.words[299 * 401 + 399] = 1;  // the preview clears the whole canvas first
    PlotState st;
    st.PensList = "SP's: 9, ";
    std::string calls;
    PlotHost host;
    host.canvas = &image.canvas;
    host.statusText = [&](int part, const std::string& text) { calls += std::to_string(part) + ":" + text + "|"; };
    host.progress = [&](int32_t p) { calls += p == 100 ? "%100|" : ""; };
    host.queueChar = [&](char) { calls += "queued|"; };  // a preview never feeds the run
    host.readEnded = [&] { calls += "end|"; };
    BuildPlotPreviewFromText(st, "C:\\Plots\\Rechteck.plt", "PU;PA0,0;PD;PA4000,0,4000,2000;", host);
    EXPECT_EQ(
        calls,
        "%100|end|2:Rechteck.plt|3:Dateigröße: 0.03 kB|4:X-Max: 4000/100.00mm|5:Y-Max: 2000/50.00mm|6:|%100|end|");
    EXPECT_EQ(st.PlotFile + "|" + st.PensList, "C:\\Plots\\Rechteck.plt|") << "a new preview lists its own pens";
    // Scale 11: the bottom edge from column 1 to the corner at 364 (4000 / 11), then up 182 rows, in pen 0's black.
    EXPECT_EQ(std::make_tuple(st.DrawScale, st.GraphicWidth, st.GraphicHeight), std::make_tuple(11, 400, 300));
    const Points marked = image.Marked();
    EXPECT_EQ(std::make_pair(marked.size(), marked.rbegin()->first), std::make_pair(size_t{364 + 182}, 364));
    EXPECT_TRUE(marked.count({364, 299}) && marked.count({364, 299 - 182}) && !marked.count({0, 299}) &&
                !image.words[299 * 401 + 364]);
    // Without a canvas a preview only measures: no size, no scale.
    BuildPlotPreviewFromText(st, "x.plt", "PD;PA10,10;", PlotHost{});
    EXPECT_EQ(std::make_tuple(st.GraphicWidth, st.GraphicHeight, st.DrawScale, st.DrawPosX),
              std::make_tuple(0, 0, 0, 10));
    // The larger axis rounded ties to even, negative extents as they come; no size or no 32-bit result: no scale.
    const std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t> scales[] = {
        {300, 0, 200, 300, 2},   {0, 500, 300, 200, 4},   {kExtentsReset, kExtentsReset, 400, 300, -2499999},
        {4000, 2000, 0, 300, 0}, {4000, 2000, 400, 0, 0}, {INT32_MAX, 0, 1, 1, 0},
    };
    for (const auto& [x, y, w, h, scale] : scales)
        EXPECT_EQ(PlotScale(x, y, w, h), scale) << x << "," << y << " in " << w << " x " << h;
    // Statistics: only "\\" separates folders; every text is cut at 98 characters.
    st.PlotFileLength = 2048, st.ExtMaxX = kExtentsReset, st.ExtMaxY = -1;
    std::string pens = "SP's: ";
    for (int32_t pen = 1000; pen < 1031; ++pen) AddPenToList(st, pen), pens += std::to_string(pen) + ", ";
    EXPECT_EQ(
        PlotStatistics(st, "Z:/" + std::string(120, 'n')),
        (std::array<std::string, 5>{"Z:/" + std::string(95, 'n'), "Dateigröße: 2.00 kB",
                                    "X-Max: -999999999/-24999999.98mm", "Y-Max: -1/-0.03mm", pens.substr(0, 98)}));
}

}  // namespace
