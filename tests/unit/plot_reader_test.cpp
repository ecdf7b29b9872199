#include "plot/hpgl_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Move {
    int32_t dx, dy;
    bool down;
    bool operator==(const Move& o) const { return dx == o.dx && dy == o.dy && down == o.down; }
};

std::ostream& operator<<(std::ostream& os, const Move& m) {
    return os << "(" << m.dx << "," << m.dy << (m.down ? ",down)" : ",up)");
}

// Records every call out of a read.
struct Recorder {
    std::vector<Move> moves;
    std::string chars;
    std::vector<int32_t> progress;
    std::string log;  // the calls in their order
    int ended = 0;

    PlotHost Host() {
        PlotHost h;
        h.Progress = [this](int32_t p) {
            progress.push_back(p);
            log += "%" + std::to_string(p) + " ";
        };
        h.QueueChar = [this](char c) {
            chars += c;
            log += std::string(1, c) + " ";
        };
        h.CommandRead = [this] { log += "cmd "; };
        h.Move = [this](int32_t dx, int32_t dy, bool down) {
            moves.push_back({dx, dy, down});
            log += "move(" + std::to_string(dx) + "," + std::to_string(dy) + ") ";
        };
        h.ReadEnded = [this] {
            ++ended;
            log += "end";
        };
        return h;
    }
};

std::vector<Move> Read(PlotState& st, const std::string& text) {
    Recorder r;
    ReadPlotText(st, text, r.Host());
    return r.moves;
}

struct TableRow {
    const char* text;
    std::vector<Move> moves;
    const char* pens;
    int32_t pen;
    bool penDownAfter;
    int32_t posX, posY;
};

TEST(ReadPlotText, EdgeCaseTable) {
    const std::vector<TableRow> rows = {
        {"IN;SP1;PU;PA100,200;PD;PA300,200,300,400;PU;",
         {{100, 200, false}, {200, 0, true}, {0, 200, true}}, "SP's: 1, ", 1, false, 300, 400},
        // No terminator after the pair: PD is not recognised and the pen stays up.
        {"PA100,200PD;", {{100, 200, false}}, "", 0, false, 100, 200},
        {"pa-50,-60;", {{-50, -60, false}}, "", 0, false, -50, -60},
        {"PA 10 , 20 ;", {{10, 20, false}}, "", 0, false, 10, 20},
        {"PA10.5,20;", {{105, 20, false}}, "", 0, false, 105, 20},
        {"-;PA5,5;", {{-5, 5, false}}, "", 0, false, -5, 5},
        {"PA10;", {}, "", 0, false, 0, 0},
        {"SP2,3;", {}, "SP's: 2, ", 2, false, 0, 0},
        {"SP;", {}, "", 0, false, 0, 0},
        {"sp-3;SP12;SP1;SP2;SP1;", {}, "SP's: -3, 12, 1, 2, ", 1, false, 0, 0},
    };
    for (const TableRow& row : rows) {
        SCOPED_TRACE(row.text);
        PlotState st;
        EXPECT_EQ(Read(st, row.text), row.moves);
        EXPECT_EQ(st.PensList, row.pens);
        EXPECT_EQ(st.CurrentPen, row.pen);
        EXPECT_EQ(st.PenDown, row.penDownAfter);
        EXPECT_EQ(st.DrawPosX, row.posX);
        EXPECT_EQ(st.DrawPosY, row.posY);
    }
}

TEST(ReadPlotText, PenStateOnlyChangesThroughRecognisedCommands) {
    PlotState st;
    st.PenDown = true;
    EXPECT_EQ(Read(st, "PA100,200PU;"), (std::vector<Move>{{100, 200, true}}));
    EXPECT_TRUE(st.PenDown);
    // A blank or comma ends a number but not the statement.
    EXPECT_EQ(Read(st, "PA1,2 PU 3,4;"), (std::vector<Move>{{-99, -198, true}, {2, 2, true}}));
    EXPECT_TRUE(st.PenDown);
    // CR and LF end statements like ";".
    EXPECT_EQ(Read(st, "PU\r\nPD1,1\nPU\r\n"), (std::vector<Move>{{-2, -3, true}}));
    EXPECT_FALSE(st.PenDown);
}

TEST(ReadPlotText, PolylinesAndModes) {
    PlotState st;
    // PU/PD take pairs in the current mode; a bare PA only switches the mode, and numbers
    // after a terminator belong to no command.
    EXPECT_EQ(Read(st, "PD10,0,10,10;PR5,5,-5,0;PU3,3;PA;0,0;PU0,0;"),
              (std::vector<Move>{{10, 0, true},
                                 {0, 10, true},
                                 {5, 5, true},
                                 {-5, 0, true},
                                 {3, 3, false},
                                 {-13, -18, false}}));
    EXPECT_EQ(st.DrawPosX, 0);
    EXPECT_EQ(st.DrawPosY, 0);
    EXPECT_EQ(st.ExtMaxX, 15);
    EXPECT_EQ(st.ExtMaxY, 15);
}

TEST(ReadPlotText, UnknownCommandsAndStrayText) {
    PlotState st;
    Recorder r;
    const std::string text = "IN;LT5,6;VS3;PA1,2,3;PA4,5;PA+7,8;PA9-,1;";
    ReadPlotText(st, text, r.Host());
    EXPECT_EQ(r.moves, (std::vector<Move>{{1, 2, false}, {3, 3, false}, {3, 3, false}, {-16, -7, false}}));
    // Unknown commands still reach the run queue.
    EXPECT_EQ(r.chars, text);
}

TEST(ReadPlotText, CharactersGoToTheQueueOnceUpperCased) {
    PlotState st;
    Recorder r;
    ReadPlotText(st, "in;pa1,2;\r\nsp3;x\xE4yz", r.Host());
    EXPECT_EQ(r.chars, "IN;PA1,2;\r\nSP3;X\xE4YZ");
}

TEST(ReadPlotText, CallsOutInTheirOrder) {
    PlotState st;
    Recorder r;
    ReadPlotText(st, "PA1,2;", r.Host());
    EXPECT_EQ(r.log, "%17 P A cmd %50 1 %67 , %83 2 %100 ; move(1,2) end");
}

TEST(ReadPlotText, ProgressRoundsTiesToEven) {
    PlotState st;
    Recorder r;
    ReadPlotText(st, "12345678", r.Host());
    EXPECT_EQ(r.progress, (std::vector<int32_t>{12, 25, 38, 50, 62, 75, 88, 100}));
    // The second letter of a command is consumed without a percentage of its own.
    Recorder pu;
    ReadPlotText(st, "PU", pu.Host());
    EXPECT_EQ(pu.progress, (std::vector<int32_t>{50}));
    Recorder one;
    ReadPlotText(st, ";", one.Host());
    EXPECT_EQ(one.progress, (std::vector<int32_t>{100}));
}

TEST(ReadPlotText, EmptyText) {
    PlotState st;
    st.ExtMaxX = st.ExtMaxY = 5;
    st.PlotFileLength = 77;
    Recorder r;
    ReadPlotText(st, "", r.Host());
    EXPECT_EQ(st.PlotFileLength, 0);
    EXPECT_EQ(st.ExtMaxX, kExtentsReset);
    EXPECT_EQ(st.ExtMaxY, kExtentsReset);
    EXPECT_TRUE(r.moves.empty());
    EXPECT_TRUE(r.chars.empty());
    EXPECT_TRUE(r.progress.empty());
    EXPECT_EQ(r.ended, 1);
}

TEST(ReadPlotText, PositionAndPenCarryOverFromOneReadToTheNext) {
    PlotState st;
    Read(st, "SP4;PU;PA100,100;PD;");
    EXPECT_EQ(Read(st, "PR10,0;"), (std::vector<Move>{{10, 0, true}}));
    EXPECT_EQ(st.ExtMaxX, 110);
    EXPECT_EQ(st.CurrentPen, 4);
    // Every read starts absolute, and resets the extents.
    Read(st, "PR;");
    EXPECT_EQ(Read(st, "PU5,5;"), (std::vector<Move>{{-105, -95, false}}));
    EXPECT_EQ(st.ExtMaxX, kExtentsReset);
    EXPECT_EQ(st.DrawPosX, 5);
    EXPECT_EQ(st.DrawPosY, 5);
}

TEST(ReadPlotText, ScaledMovesRoundTiesToEven) {
    PlotState st;
    st.DrawScale = 10;
    EXPECT_EQ(Read(st, "PA25,35;"), (std::vector<Move>{{2, 4, false}}));
    // The absolute difference is rounded as a whole: 5/2 - 1 = 1.5 gives 2, not round(2.5) - 1.
    st.DrawScale = 2;
    st.DrawPosX = 1;
    st.DrawPosY = 0;
    EXPECT_EQ(Read(st, "PA5,-5;"), (std::vector<Move>{{2, -2, false}}));
    EXPECT_EQ(Read(st, "PR-5,7;"), (std::vector<Move>{{-2, 4, false}}));
    st.DrawScale = -4;
    st.DrawPosX = st.DrawPosY = 0;
    EXPECT_EQ(Read(st, "PA10,-6;"), (std::vector<Move>{{-2, 2, false}}));
}

TEST(ReadPlotText, NumbersBeyondThirtyTwoBitsAndScaleZeroMakeNoMove) {
    PlotState st;
    EXPECT_EQ(Read(st, "PA99999999999999999999999,5;PA3,4;"), (std::vector<Move>{{3, 4, false}}));
    EXPECT_EQ(Read(st, "PA2147483648,0;PA-2147483648,0;PA0,-2147483648;"), (std::vector<Move>{}));
    EXPECT_EQ(Read(st, "PA000000000000000000012,3;"), (std::vector<Move>{{9, -1, false}}));
    // The largest number is a move, too long for DrawMove, which leaves the position.
    EXPECT_EQ(Read(st, "PA2147483647,3;"), (std::vector<Move>{{2147483635, 0, false}}));
    EXPECT_EQ(st.DrawPosX, 12);
    // An absolute move whose difference leaves 32 bits is no move.
    st.DrawPosX = -2000000000;
    EXPECT_EQ(Read(st, "PA2000000000,3;"), (std::vector<Move>{}));
    st.DrawPosX = 12;
    // A void pen takes its place: it selects nothing and later numbers are ignored.
    Read(st, "SP7;SP99999999999,4;");
    EXPECT_EQ(st.CurrentPen, 7);
    EXPECT_EQ(st.PensList, "SP's: 7, ");

    st.DrawScale = 0;
    EXPECT_EQ(Read(st, "PD;PA5,5;PR1,1;"), (std::vector<Move>{}));
    EXPECT_EQ(st.DrawPosX, 12);
}

class PlotFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kt_plot_reader_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = (dir_ / "plot.plt").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void Write(const std::string& content) {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out << content;
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(PlotFileTest, LoadsTheWholeFileOrNothing) {
    Write(std::string("PU;\0PD;\r\n", 9));
    EXPECT_EQ(LoadPlotText(path_), std::string("PU;\0PD;\r\n", 9));
    Write("");
    EXPECT_EQ(LoadPlotText(path_), "");
    EXPECT_EQ(LoadPlotText((dir_ / "missing.plt").string()), "");
    EXPECT_EQ(LoadPlotText(dir_.string()), "");
}

TEST_F(PlotFileTest, AFileIsCutAtItsLimit) {
    // The pair (1,2) would complete with the byte after the limit.
    std::string text = "PA7,8;";
    text.resize(kPlotTextMax - 5, ' ');
    text += "PA1,2;PA3,4;";
    Write(text);
    EXPECT_EQ(LoadPlotText(path_).size(), static_cast<std::size_t>(kPlotTextMax));

    PlotState st;
    std::size_t chars = 0;
    int32_t lastPercent = -1;
    std::vector<Move> moves;
    PlotHost host;
    host.QueueChar = [&](char) { ++chars; };
    host.Progress = [&](int32_t p) { lastPercent = p; };
    host.Move = [&](int32_t dx, int32_t dy, bool down) { moves.push_back({dx, dy, down}); };
    ReadPlotFile(st, path_, host);
    EXPECT_EQ(st.PlotFileLength, kPlotTextMax);
    EXPECT_EQ(chars, static_cast<std::size_t>(kPlotTextMax));
    EXPECT_EQ(lastPercent, 100);
    EXPECT_EQ(moves, (std::vector<Move>{{7, 8, false}}));

    // A text in memory is cut the same way.
    PlotState mem;
    ReadPlotText(mem, text, PlotHost{});
    EXPECT_EQ(mem.PlotFileLength, kPlotTextMax);
    EXPECT_EQ(mem.DrawPosX, 7);
}

}  // namespace
