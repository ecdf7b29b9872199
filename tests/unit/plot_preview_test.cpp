#include "plot/preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

TEST_F(DrawMoveTest, ZeroPenUpAndMeasuredMoves) {
    // A zero move sets the current point once, with the pen down only.
    st.DrawPosX = st.DrawPosY = 4;
    DrawMove(st, host, 0, 0);
    st.PenDown = false;
    DrawMove(st, host, 0, 0);
    DrawMove(st, host, 1, -2);  // pen up: moves, marks nothing
    EXPECT_EQ(image.Marked(), Points(12, {{4, 4}}));
    EXPECT_EQ(st.DrawPosX, 5);
    EXPECT_EQ(st.DrawPosY, 2);
    // Measuring tracks the extents of pen-down steps without pixels.
    st.PenDown = true;
    st.MeasureOnly = true;
    DrawMove(st, host, -7, 4);
    EXPECT_EQ(image.Marked(), Points(12, {{4, 4}}));
    EXPECT_EQ(st.ExtMaxX, 4);  // the first step, (4, 3)
    EXPECT_EQ(st.ExtMaxY, 6);
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

// The pixel walk taken literally, one step at a time, in single precision.
struct StepWalk {
    std::set<std::pair<int64_t, int64_t>> points;  // short moves only
    int64_t endX = 0, endY = 0;
    int64_t maxX = std::numeric_limits<int64_t>::min(), maxY = maxX;

    StepWalk(int32_t dx, int32_t dy) {
        const int32_t sx = (dx > 0) - (dx < 0), sy = (dy > 0) - (dy < 0);
        const int32_t ax = std::abs(dx), ay = std::abs(dy);
        const bool xMajor = ax >= ay && ax > 0;
        volatile float r = xMajor ? static_cast<float>(ax) / static_cast<float>(ay ? ay : 1)
                                  : static_cast<float>(ay) / static_cast<float>(ax ? ax : 1);
        volatile float t = r / 2;
        int32_t cx = 0, cy = 0;
        do {
            if (xMajor) {
                cx += sx;
                if (static_cast<float>(std::abs(cx)) > t) {
                    t = t + r;
                    cy += sy;
                }
            } else {
                cy += sy;
                if (static_cast<float>(std::abs(cy)) > t) {
                    t = t + r;
                    cx += sx;
                }
            }
            if (ax <= 60 && ay <= 60) points.insert({cx, cy});
            maxX = std::max<int64_t>(maxX, cx);
            maxY = std::max<int64_t>(maxY, cy);
        } while (std::abs(cx) < ax || std::abs(cy) < ay);
        endX = cx;
        endY = cy;
    }
};

TEST(DrawMove, MarksExactlyThePointsOfTheStepWalk) {
    std::mt19937 rng(17);
    std::uniform_int_distribution<int32_t> shortMove(-40, 40), longMove(-kMoveLimit, kMoveLimit);
    std::vector<std::pair<int32_t, int32_t>> moves = {{0, 0}, {7, 0}, {0, -7}, {1, 1}, {-89999, -kMoveLimit},
                                                      {kMoveLimit, 7097}, {7979, kMoveLimit}, {kMoveLimit, 1}};
    for (int i = 0; i < 300; ++i) moves.push_back({shortMove(rng), shortMove(rng)});
    for (int i = 0; i < 20; ++i) moves.push_back({longMove(rng), longMove(rng)});
    for (const auto& mv : moves) {
        SCOPED_TRACE(std::to_string(mv.first) + "," + std::to_string(mv.second));
        const StepWalk expected(mv.first, mv.second);
        PlotState st;
        st.PenDown = true;
        st.MeasureOnly = true;
        st.DrawPosX = 5;
        st.DrawPosY = -3;
        DrawMove(st, PlotHost{}, mv.first, mv.second);
        EXPECT_EQ(st.DrawPosX, 5 + expected.endX);
        EXPECT_EQ(st.DrawPosY, -3 + expected.endY);
        EXPECT_EQ(st.ExtMaxX, 5 + expected.maxX);
        EXPECT_EQ(st.ExtMaxY, -3 + expected.maxY);

        if (std::abs(mv.first) > 60 || std::abs(mv.second) > 60) continue;
        // Drawn into a canvas that cuts the walk at its edges.
        Image image(50, 40);
        st.MeasureOnly = false;
        st.GraphicHeight = 40;
        st.DrawPosX = 20;
        st.DrawPosY = 15;
        PlotHost host;
        host.Canvas = &image.canvas;
        DrawMove(st, host, mv.first, mv.second);
        std::set<std::pair<int32_t, int32_t>> pixels;
        for (const auto& p : expected.points) {
            const int64_t col = 20 + p.first, row = 40 - (15 + p.second) - 1;
            if (col >= 0 && col < 50 && row >= 0 && row < 40) pixels.insert({static_cast<int32_t>(col), static_cast<int32_t>(row)});
        }
        EXPECT_EQ(image.Marked(), pixels);
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

TEST(BuildPlotPreview, FromAFile) {
    const fs::path dir =
        fs::temp_directory_path() / ("kt_plot_preview_test_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    const std::string path = (dir / "stern.plt").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << "IN;SP2;PU0,0;PD100,100,200,0;SP1;PU;\r\n";
    }
    Image image(100, 100);
    PlotState st;
    PreviewRecord rec;
    BuildPlotPreview(st, path, rec.Host(&image.canvas));
    EXPECT_EQ(st.PlotFileLength, 38);
    EXPECT_EQ(st.PensList, "SP's: 2, 1, ");
    EXPECT_EQ(st.DrawScale, 3);
    EXPECT_EQ(st.PlotFile, path);
    EXPECT_FALSE(image.Marked().empty());
    std::error_code ec;
    fs::remove_all(dir, ec);
}

}  // namespace
