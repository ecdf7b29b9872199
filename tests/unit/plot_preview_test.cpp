#include "plot/preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "plot/hpgl_reader.h"

namespace {

namespace fs = std::filesystem;

const uint32_t kBackground = PixelFromColour(kPreviewBackground);

// A canvas with a padding column on each row, so that a write past a row's end shows.
struct Image {
    std::vector<uint32_t> words;
    PlotCanvas canvas;

    Image(int32_t w, int32_t h) : words(static_cast<std::size_t>((w + 1) * h), kBackground) {
        canvas.Pixels = words.data();
        canvas.Width = w;
        canvas.Height = h;
        canvas.Stride = w + 1;
    }
    uint32_t At(int32_t col, int32_t row) const { return words[static_cast<std::size_t>(row * canvas.Stride + col)]; }
    // Every word that is not background, padding included, as (column, row).
    std::set<std::pair<int32_t, int32_t>> Marked() const {
        std::set<std::pair<int32_t, int32_t>> out;
        for (std::size_t i = 0; i < words.size(); ++i) {
            if (words[i] != kBackground) {
                out.insert({static_cast<int32_t>(i % canvas.Stride), static_cast<int32_t>(i / canvas.Stride)});
            }
        }
        return out;
    }
};

// Plot coordinates relative to the bottom left as canvas (column, row).
std::set<std::pair<int32_t, int32_t>> Points(int32_t height, std::vector<std::pair<int32_t, int32_t>> xy) {
    std::set<std::pair<int32_t, int32_t>> out;
    for (const auto& p : xy) out.insert({p.first, height - p.second - 1});
    return out;
}

struct DrawMoveTest : ::testing::Test {
    Image image{12, 12};
    PlotState st;
    PlotHost host;

    void SetUp() override {
        st.GraphicWidth = 12;
        st.GraphicHeight = 12;
        st.PenDown = true;
        host.Canvas = &image.canvas;
    }
};

TEST_F(DrawMoveTest, DiagonalSetsTheStepsNotTheStart) {
    DrawMove(st, host, 3, 3);
    EXPECT_EQ(image.Marked(), Points(12, {{1, 1}, {2, 2}, {3, 3}}));
    EXPECT_EQ(st.DrawPosX, 3);
    EXPECT_EQ(st.DrawPosY, 3);
    EXPECT_EQ(st.ExtMaxX, 3);
    EXPECT_EQ(st.ExtMaxY, 3);
}

TEST_F(DrawMoveTest, TooLongMoveIsSkippedAndTheNextAbsoluteMoveMeasuresFromTheOldPosition) {
    st.DrawPosX = st.DrawPosY = 2;
    DrawMove(st, host, kMoveLimit + 1, 0);
    DrawMove(st, host, 0, -kMoveLimit - 1);
    DrawMove(st, host, std::numeric_limits<int32_t>::min(), 1);
    EXPECT_TRUE(image.Marked().empty());
    EXPECT_EQ(st.DrawPosX, 2);
    EXPECT_EQ(st.DrawPosY, 2);
    EXPECT_EQ(st.ExtMaxX, kExtentsReset);

    PlotState fresh;
    std::vector<std::pair<int32_t, int32_t>> moves;
    PlotHost h;
    h.Move = [&](int32_t dx, int32_t dy, bool) { moves.push_back({dx, dy}); };
    ReadPlotText(fresh, "PD;PA90001,0;PA5,5;", h);
    EXPECT_EQ(moves, (std::vector<std::pair<int32_t, int32_t>>{{90001, 0}, {5, 5}}));
    EXPECT_EQ(fresh.DrawPosX, 5);

    // Nor does a position move on near the end of 32 bits.
    st.DrawPosX = std::numeric_limits<int32_t>::max() - 10;
    st.DrawPosY = std::numeric_limits<int32_t>::min() + 10;
    DrawMove(st, host, 50, 0);
    DrawMove(st, host, 0, -50);
    EXPECT_EQ(st.DrawPosX, std::numeric_limits<int32_t>::max() - 10);
    EXPECT_EQ(st.DrawPosY, std::numeric_limits<int32_t>::min() + 10);
}

TEST_F(DrawMoveTest, PenColours) {
    st.CurrentPen = 1;
    DrawMove(st, host, 1, 0);
    EXPECT_EQ(image.At(1, 11), 0x00080000u);
    st.CurrentPen = 32;
    DrawMove(st, host, 1, 0);
    EXPECT_EQ(image.At(2, 11), 0x00000100u);
    EXPECT_EQ(PenColour(31), 0x0000F8u);        // RGB(248,0,0)
    EXPECT_EQ(PenColour(-1), 0xFFFFF8u);        // only the colour bits of -8
    EXPECT_EQ(PenColour(0x7FFFFFFF), 0xFFFFF8u);
    EXPECT_EQ(PixelFromColour(kPreviewBackground), 0x00FFFFE0u);
    EXPECT_EQ(PixelFromColour(kRunBackground), 0x0090EE90u);
}

TEST_F(DrawMoveTest, EachMoveAsksTheHostAndIsDroppedWhenTheDialogIsGone) {
    int asked = 0;
    host.DrawStep = [&] { return ++asked < 3; };
    DrawMove(st, host, 0, 0);
    DrawMove(st, host, 5, 1);
    EXPECT_EQ(asked, 2);
    DrawMove(st, host, 1, 1);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(image.Marked(), Points(12, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}, {5, 1}}));
    EXPECT_EQ(st.DrawPosX, 5);
    EXPECT_EQ(st.DrawPosY, 1);
}

// The pixel walk taken literally, one step at a time in single precision: what DrawMove must
// do, however it does it.
void LiteralDrawMove(PlotState& st, const PlotCanvas& canvas, int32_t dx, int32_t dy) {
    if (std::abs(dx) > kMoveLimit || std::abs(dy) > kMoveLimit) return;
    const int32_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
    const int32_t ax = std::abs(dx), ay = std::abs(dy);
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
        if (!st.MeasureOnly && x >= 0 && x < canvas.Width && row >= 0 && row < canvas.Height) {
            canvas.Pixels[row * canvas.Stride + x] = PixelFromColour(PenColour(st.CurrentPen));
        }
        st.ExtMaxX = std::max(st.ExtMaxX, x);
        st.ExtMaxY = std::max(st.ExtMaxY, y);
    } while (std::abs(cx) < ax || std::abs(cy) < ay);
    st.DrawPosX += cx;
    st.DrawPosY += cy;
}

TEST(DrawMove, AgreesWithTheLiteralWalk) {
    Image fast(48, 36), slow(48, 36);
    PlotHost host;
    host.Canvas = &fast.canvas;
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
    // Moves that enter the canvas on a minor step whose slope sum rounded a tie from an odd
    // last bit.
    for (const auto& mv : std::vector<std::array<int32_t, 4>>{{416, 68, -20, -9}, {68, 416, -9, -20}}) {
        st.DrawPosX = mv[2];
        st.DrawPosY = mv[3];
        EXPECT_TRUE(same(st, mv[0], mv[1])) << mv[0] << "," << mv[1];
    }

    std::mt19937 rng(11);
    const auto pick = [&](int32_t lo, int32_t hi) { return std::uniform_int_distribution<int32_t>(lo, hi)(rng); };
    for (int i = 0; i < 100000; ++i) {
        // Lengths over every binade up to the limit and past it; the longest ones rarely, since
        // the literal walk takes them step by step.
        const int32_t len = i % 500 == 0 ? pick(kMoveLimit - 3000, kMoveLimit + 3000) : pick(0, 1 << pick(0, 11));
        int32_t other = pick(0, len);                                  // any slope
        if (i % 5 == 1) other = 0;                                     // along an axis
        if (i % 5 == 2) other = len;                                   // 45 degrees
        if (i % 5 == 3) other = std::min(len, pick(1, 3));             // near an axis
        if (i % 5 == 4) other = std::max(0, len - pick(1, 3));         // near 45 degrees
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
        ASSERT_TRUE(same(st, dx, dy)) << "move " << dx << "," << dy << " from " << st.DrawPosX << ","
                                      << st.DrawPosY << " pen " << (st.PenDown ? "down" : "up")
                                      << (st.MeasureOnly ? " measuring" : "");
    }
}

// The example plots previewed from their files, each move checked against the literal walk:
// extents and position at the end of both reads, and the pixels.
TEST(BuildPlotPreview, ExamplePlotsAsTheLiteralWalkDrawsThem) {
    for (const char* name : {"frame.plt", "star.plt", "spiral.plt"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(KT_SOURCE_DIR) + "/examples/" + name;
        Image fast(400, 300), slow(400, 300);
        PlotState st, ref;
        int reads = 0;
        PlotHost host;
        host.Canvas = &fast.canvas;
        host.Move = [&](int32_t dx, int32_t dy, bool penDown) {
            ref.PenDown = penDown;
            ref.CurrentPen = st.CurrentPen;
            ref.MeasureOnly = st.MeasureOnly;
            ref.GraphicHeight = st.GraphicHeight;
            LiteralDrawMove(ref, slow.canvas, dx, dy);
        };
        host.ReadEnded = [&] {
            ++reads;
            EXPECT_EQ(std::make_pair(st.ExtMaxX, st.ExtMaxY), std::make_pair(ref.ExtMaxX, ref.ExtMaxY));
            EXPECT_EQ(std::make_pair(st.DrawPosX, st.DrawPosY), std::make_pair(ref.DrawPosX, ref.DrawPosY));
            ref.ExtMaxX = ref.ExtMaxY = kExtentsReset;
        };
        BuildPlotPreview(st, path, host);
        EXPECT_EQ(st.PlotFileLength, static_cast<int32_t>(fs::file_size(path)));
        EXPECT_EQ(st.PlotFile, path);
        EXPECT_EQ(reads, 2);
        EXPECT_GT(fast.Marked().size(), 100u);
        EXPECT_TRUE(fast.words == slow.words);
    }
}

TEST(AddPenToList, EachPenOnceInOrderOfFirstSelection) {
    PlotState st;
    for (int32_t pen : {12, 1, 2, 1, 12}) AddPenToList(st, pen);
    EXPECT_EQ(st.PensList, "SP's: 12, 1, 2, ");
    AddPenToList(st, -2);
    AddPenToList(st, 0);
    EXPECT_EQ(st.PensList, "SP's: 12, 1, 2, -2, 0, ");
}

TEST(AddPenToList, CutAtNinetyEightCharacters) {
    PlotState st;
    std::string all = "SP's: ";
    for (int32_t pen = 1000; pen < 1030; ++pen) {
        AddPenToList(st, pen);
        all += std::to_string(pen) + ", ";
    }
    EXPECT_EQ(st.PensList, all.substr(0, kPensListMax));
    AddPenToList(st, 7);
    EXPECT_EQ(st.PensList.size(), kPensListMax);
}

TEST(PlotScale, LargerAxisRoundedTiesToEven) {
    EXPECT_EQ(PlotScale(4000, 2000, 400, 300), 11);
    EXPECT_EQ(PlotScale(300, 0, 200, 300), 2);  // 2.5
    EXPECT_EQ(PlotScale(500, 0, 200, 300), 4);  // 3.5
    EXPECT_EQ(PlotScale(0, 0, 400, 300), 1);
    // Negative extents give what the formula gives, zero included.
    EXPECT_EQ(PlotScale(kExtentsReset, kExtentsReset, 400, 300), -2499999);
    EXPECT_EQ(PlotScale(-300, -300, 400, 300), 0);
    // No size, or no 32-bit result: no scale.
    EXPECT_EQ(PlotScale(4000, 2000, 0, 300), 0);
    EXPECT_EQ(PlotScale(4000, 2000, 400, 0), 0);
    EXPECT_EQ(PlotScale(std::numeric_limits<int32_t>::max(), 0, 1, 1), 0);
}

TEST(PlotStatistics, SizeAndExtentTexts) {
    PlotState st;
    st.PlotFileLength = 2048;
    st.ExtMaxX = 8000;
    st.ExtMaxY = -1;
    st.PensList = "SP's: 1, 2, ";
    const auto parts = PlotStatistics(st, "C:\\Plots\\Haus.plt");
    EXPECT_EQ(parts[0], "Haus.plt");
    EXPECT_EQ(parts[1], "Dateigr\xF6\xDF" "e: 2.00 kB");
    EXPECT_EQ(parts[2], "X-Max: 8000/200.00mm");
    EXPECT_EQ(parts[3], "Y-Max: -1/-0.03mm");
    EXPECT_EQ(parts[4], "SP's: 1, 2, ");

    st.PlotFileLength = 1000;
    st.ExtMaxX = kExtentsReset;
    EXPECT_EQ(PlotStatistics(st, "")[1], "Dateigr\xF6\xDF" "e: 0.98 kB");
    EXPECT_EQ(PlotStatistics(st, "")[2], "X-Max: -999999999/-24999999.98mm");
    // Only "\" separates folders; the name is cut like every status text.
    EXPECT_EQ(PlotStatistics(st, "Z:/plots/a.plt")[0], "Z:/plots/a.plt");
    EXPECT_EQ(PlotStatistics(st, "C:\\" + std::string(120, 'n'))[0], std::string(kPensListMax, 'n'));
}

struct PreviewRecord {
    std::vector<std::pair<int, std::string>> parts;
    int32_t lastPercent = -1;
    int queued = 0;
    int ended = 0;

    PlotHost Host(PlotCanvas* canvas) {
        PlotHost h;
        h.Canvas = canvas;
        h.StatusText = [this](int part, const std::string& text) { parts.push_back({part, text}); };
        h.Progress = [this](int32_t p) { lastPercent = p; };
        h.QueueChar = [this](char) { ++queued; };
        h.ReadEnded = [this] { ++ended; };
        return h;
    }
};

TEST(BuildPlotPreview, RectangleInA400By300Control) {
    Image image(400, 300);
    PlotState st;
    st.PensList = "SP's: 9, ";
    PreviewRecord rec;
    const std::string text = "PU;PA0,0;PD;PA4000,0,4000,2000;";
    BuildPlotPreviewFromText(st, "C:\\Plots\\Rechteck.plt", text, rec.Host(&image.canvas));

    EXPECT_EQ(rec.parts, (std::vector<std::pair<int, std::string>>{{2, "Rechteck.plt"},
                                                                   {3, "Dateigr\xF6\xDF" "e: 0.03 kB"},
                                                                   {4, "X-Max: 4000/100.00mm"},
                                                                   {5, "Y-Max: 2000/50.00mm"},
                                                                   {6, ""}}));
    EXPECT_EQ(st.DrawScale, 11);
    EXPECT_EQ(st.GraphicWidth, 400);
    EXPECT_EQ(st.GraphicHeight, 300);
    // Bottom edge from column 1 to the corner at 364 (4000 / 11 = 363.6), then up 182 rows.
    const auto marked = image.Marked();
    EXPECT_EQ(marked.size(), 364u + 182u);
    EXPECT_EQ(marked.count({364, 299}), 1u);
    EXPECT_EQ(marked.count({364, 299 - 182}), 1u);
    EXPECT_EQ(marked.rbegin()->first, 364);
    EXPECT_EQ(marked.count({0, 299}), 0u);
    EXPECT_EQ(image.At(364, 299), 0u);  // pen 0 draws black

    EXPECT_EQ(st.PlotFile, "C:\\Plots\\Rechteck.plt");
    EXPECT_EQ(st.PensList, "");
    EXPECT_EQ(rec.lastPercent, 100);
    EXPECT_EQ(rec.queued, 0);  // a preview never feeds the run queue
    EXPECT_EQ(rec.ended, 2);
}

TEST(BuildPlotPreview, DrawingsWithoutAUsableScaleLeaveTheBackground) {
    struct Case {
        const char* text;
        int32_t scale;
    };
    // No pen-down move: negative scale. Pen down only at negative coordinates: scale 0.
    for (const Case& c : {Case{"", -2499999}, Case{"PU;PA100,100;", -2499999}, Case{"PU;PA-400,-400;PD;PA-300,-300;", 0}}) {
        SCOPED_TRACE(c.text);
        Image image(400, 300);
        PlotState st;
        PreviewRecord rec;
        BuildPlotPreviewFromText(st, "x.plt", c.text, rec.Host(&image.canvas));
        EXPECT_EQ(st.DrawScale, c.scale);
        EXPECT_TRUE(image.Marked().empty());
    }
    // A control of no size has no scale.
    for (const auto& size : {std::pair<int32_t, int32_t>{0, 0}, {0, 300}, {400, 0}}) {
        Image image(size.first, size.second);
        PlotState st;
        PreviewRecord rec;
        BuildPlotPreviewFromText(st, "x.plt", "PU;PA0,0;PD;PA4000,0,4000,2000;", rec.Host(&image.canvas));
        EXPECT_EQ(st.DrawScale, 0);
        EXPECT_TRUE(image.Marked().empty());
    }
    PlotState st;
    PreviewRecord rec;
    BuildPlotPreviewFromText(st, "x.plt", "", rec.Host(nullptr));
    EXPECT_EQ(rec.parts[2].second, "X-Max: -999999999/-24999999.98mm");
    EXPECT_EQ(rec.parts[3].second, "Y-Max: -999999999/-24999999.98mm");
}

}  // namespace
