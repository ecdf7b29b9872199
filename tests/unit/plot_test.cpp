// The plot file reader, the run's line assembly and the preview's BMP form.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "base/process_state.h"
#include "plot/bmp_image.h"
#include "plot/hpgl_reader.h"
#include "plot/plot_run.h"
#include "plot/preview.h"
#include "test_files.h"

namespace {

// Every call out of a read in order; moves as dx,dy and the pen, u or d.
struct Recorder {
    std::string log, moves;
    PlotHost Host() {
        PlotHost h;
        h.progress = [this](int32_t p) { log += "%" + std::to_string(p) + " "; };
        h.queueChar = [this](char c) { log += std::string(1, c) + " "; };
        h.commandRead = [this] { log += "cmd "; };
        h.move = [this](int32_t dx, int32_t dy, bool down) {
            moves += (moves.empty() ? "" : " ") + std::to_string(dx) + "," + std::to_string(dy) + (down ? "d" : "u");
        };
        h.readEnded = [this] { log += "end"; };
        return h;
    }
};

// Pen state and position, then the largest pen-down point, the pen and the pens list where set.
std::string Summary(const PlotState& st) {
    return (st.PenDown ? "d " : "u ") + std::to_string(st.DrawPosX) + "," + std::to_string(st.DrawPosY) +
           (st.ExtMaxX == kExtentsReset && st.ExtMaxY == kExtentsReset
                ? ""
                : " max " + std::to_string(st.ExtMaxX) + "," + std::to_string(st.ExtMaxY)) +
           (st.CurrentPen ? " pen " + std::to_string(st.CurrentPen) : "") +
           (st.PensList.empty() ? "" : " " + st.PensList);
}

TEST(ReadPlotText, EdgeCasesCallsProgressFilesAndWhatCarriesOver) {
    // The moves handed to the host, and the state after the read.
    const std::tuple<const char*, int32_t, const char*, const char*> rows[] = {
        {"IN;SP1;PU;PA100,200;PD;PA300,200,300,400;PU;", 1, "100,200u 200,0d 0,200d",
         "u 300,400 max 300,400 pen 1 SP's: 1, "},
        // Commands count only at the start of a statement: PU here is skipped letter by letter.
        {"PD;PA1,2 PU 3,4;", 1, "1,2d 2,2d", "d 3,4 max 3,4"},
        {"PD;PU\r\nPD1,1\nPU", 1, "1,1d", "u 1,1 max 1,1"},
        {"PA10.5,20;", 1, "105,20u", "u 105,20"},
        {"-;PA5,5;", 1, "-5,5u", "u -5,5"},
        {"sp-3;SP12;SP1;SP2;SP1;", 1, "", "u 0,0 pen 1 SP's: -3, 12, 1, 2, "},
        // PU/PD take pairs in the current mode, a bare PA only switches it; stray numbers and commands do nothing.
        {"PD10,0,10,10;PR5,5,-5,0;PU3,3;PA;0,0;PU0,0;", 1, "10,0d 0,10d 5,5d -5,0d 3,3u -13,-18u", "u 0,0 max 15,15"},
        {"IN;LT5,6;VS3;SC5;PA1,2,3;PA4,5;PA+7,8;PA9-,1;", 1, "1,2u 3,3u 3,3u -16,-7u", "u -9,1"},
        // Scaled moves round ties to even, an absolute one as a whole: 5/2 - 1 = 1.5 gives 2.
        {"PA25,35;", 10, "2,4u", "u 2,4"},
        {"PA2,0;PA5,-5;PR-5,7;", 2, "1,0u 2,-2u -2,4u", "u 1,2"},
        {"PA10,-6;", -4, "-2,2u", "u -2,2"},
        {"PD;PA5,5;PR1,1;", 0, "", "d 0,0"},
        // A number beyond 32 bits voids its move or pen; a move too long is skipped and the next measured from before it.
        {"SP7;SP;SP99999999999,4;", 1, "", "u 0,0 pen 7 SP's: 7, "},
        {"PA2147483648,0;PA-2147483648,0;PA0,-2147483648;PA000000000000000000012,3;", 1, "12,3u", "u 12,3"},
        {"PA2147483647,3;PA90001,0;PA5,5;", 1, "2147483647,3u 90001,0u 5,5u", "u 5,5"},
        {"PA1,0;PA-2147483647,0;", 1, "1,0u -2147483648,0u", "u 1,0"}};
    for (const auto& [text, scale, moves, after] : rows) {
        PlotState st;
        st.DrawScale = scale;
        Recorder rec;
        ReadPlotText(st, text, rec.Host());
        EXPECT_EQ(rec.moves + " | " + Summary(st), std::string(moves) + " | " + after) << text << ": moves | state";
    }
    // What a read hands out, in order, and what carries over to the next read.
    PlotState st, big;
    Recorder calls, digits, empty, b, file;
    ReadPlotText(st, "PA1,2;", calls.Host());  // the second letter of a command has no percentage of its own
    EXPECT_EQ(calls.log, "%17 P A cmd %50 1 %67 , %83 2 %100 ; end");
    ReadPlotText(st, "12345678", digits.Host());  // ties to even
    EXPECT_EQ(digits.log, "%12 1 %25 2 %38 3 %50 4 %62 5 %75 6 %88 7 %100 8 end");
    ReadPlotText(st, "in;pa1,2;\r\nsp3;", PlotHost{});  // commands in lower case count too
    st.PlotFileLength = st.ExtMaxX = st.ExtMaxY = 500;
    ReadPlotText(st, "", empty.Host());
    EXPECT_EQ(std::make_pair(empty.log, st.PlotFileLength), std::make_pair(std::string("end"), 0));
    EXPECT_EQ(Summary(st), "u 1,2 pen 3 SP's: 3, ") << "the extents reset";
    // Position, pen state and pen carry over; every read starts absolute.
    ReadPlotText(st, "SP4;PU;PA100,100;PD;PR;", PlotHost{});
    ReadPlotText(st, "PA110,100;", b.Host());
    EXPECT_EQ(b.moves + " | " + Summary(st), "10,0d | d 110,100 max 110,100 pen 4 SP's: 3, 4, ");
    st.DrawPosX = -2000000000;  // an absolute move whose difference leaves 32 bits is none
    ReadPlotText(st, "PA2000000000,3;", b.Host());
    EXPECT_EQ(std::make_pair(b.moves, st.DrawPosX), std::make_pair(std::string("10,0d"), -2000000000));
    // A file is read whole, or up to its limit and said so: the pair (1,2) would complete with the byte after it.
    const std::string path = ScratchPath("plot.plt"), withNul("SP2;\0PD;PA4,0;\r\n", 16);
    WriteFile(path, withNul);
    std::string text = "x";
    EXPECT_EQ(LoadPlotText(path, text), PlotLoad::Whole);
    EXPECT_EQ(text, withNul);
    EXPECT_EQ(LoadPlotText(path + ".missing", text), PlotLoad::Unreadable);
    EXPECT_EQ(LoadPlotText(testing::TempDir(), text), PlotLoad::Unreadable) << "a folder";
    EXPECT_EQ(text, "");
    text = "PA7,8;";
    text.resize(kPlotTextMax, ' ');
    WriteFile(path, text);
    EXPECT_EQ(LoadPlotText(path, text), PlotLoad::Whole) << "exactly the limit";
    WriteFile(path, text.substr(0, kPlotTextMax - 5) + "PA1,2;PA3,4;");
    EXPECT_EQ(LoadPlotText(path, text), PlotLoad::Cut);
    PlotHost host = file.Host();
    host.queueChar = nullptr;  // ten million characters
    ReadPlotText(big, text, host);
    EXPECT_EQ(std::make_pair(file.moves, big.PlotFileLength), std::make_pair(std::string("7,8u"), kPlotTextMax));
    std::remove(path.c_str());
}

TEST(PlotRun, LinesForTheBoard) {
    PlotState st;
    std::string sent;
    bool alive = true;
    RunModes mode = RunModes::Idle;
    int32_t waits = 0;
    const PlotLineOut out{[&] { return ++waits, alive; }, [&](const std::string& line) { sent += line; }};
    PlotHost host;
    host.queueChar = [&](char c) { QueuePlotChar(st, mode, c, out); };
    // What a read sends, what it leaves in the buffer, and how often it waits before a line.
    const auto run = [&](RunModes m, const std::string& text, const char* lines, const char* kept, int32_t waited) {
        mode = m, waits = 0, sent.clear();
        ReadPlotText(st, text, host);
        EXPECT_EQ(std::tie(sent, st.SendBuffer, waits), std::make_tuple(std::string(lines), std::string(kept), waited))
            << text << ": sent, kept, waits";
    };
    run(RunModes::Idle, "PU;\r\n", "", "", 0);
    // A LF after no CR ends a line as well (files from Unix-like systems).
    run(RunModes::Auto, "PU;\nPA10,10\nPD;\n\n", "PU;\r\nPA10,10\r\nPD;\r\n", "", 6);
    // Upper case; ";" and CR end a line, CR and LF are taken out; lines of blanks are not sent, bytes above 127 are.
    run(RunModes::Auto, "pu;PA1,2;\r\nPA10,10\r\n \t\r\nPD;\r\nä\rPA", "PU;\r\nPA1,2;\r\nPA10,10\r\nPD;\r\nä\r\n", "PA",
        8);
    // A complete line waits first; when the dialog is gone it stays, and the next run's start joins it.
    alive = false;
    run(RunModes::Step, ";X", "", "PA;\r\nX", 2);
    alive = true;
    run(RunModes::Auto, "Y", "PA;XY\r\n", "", 1);
    // Stop held during a step wait: the waiting line goes, nothing after it; the read goes on.
    PlotLineOut stop = out;
    stop.waitBeforeLine = [&] { return mode = RunModes::Idle, true; };
    host.queueChar = [&](char c) { QueuePlotChar(st, mode, c, stop); };
    run(RunModes::Step, "PU;PD;PA1,1;", "PU;\r\n", "", 0);
    EXPECT_EQ(Summary(st), "d 1,1 max 9,9");
}

TEST(BmpImage, PaletteUpTo256ColorsElse24Bits) {
    // 3 x 2 with a padding word a row: top row red, green, red; bottom row background.
    std::vector<uint32_t> px = {0xFF0000, 0x00FF00, 0xFF0000, 0, 0xFFFFE0, 0xFFFFE0, 0xFFFFE0, 0};
    // File and info headers (8 bits, 96 dpi, 3 colors), palette in first-seen order, rows bottom-up and padded.
    EXPECT_EQ(Hex(EncodeBmp(PlotCanvas{px.data(), 3, 2, 4})),
              NoBlanks("424D 4A000000 00000000 42000000 28000000 03000000 02000000 0100 0800 00000000 08000000 "
                       "C40E0000 C40E0000 03000000 00000000 0000FF00 00FF0000 E0FFFF00 02020200 00010000"));
    EXPECT_EQ(Hex(EncodeBmp(PlotCanvas{})),
              NoBlanks("424D 3A000000 00000000 3A000000 28000000 00000000 00000000 0100 0800 00000000 00000000 "
                       "C40E0000 C40E0000 01000000 00000000 00000000"));
    px.resize(257);  // one color more than a palette holds: 24 bits, blue, green, red
    for (uint32_t i = 0; i < px.size(); ++i) px[i] = i * 0x010203;
    const PlotCanvas many{px.data(), 257, 1, 257};
    const std::string b = EncodeBmp(many), r = EncodeBmp(many, true);
    EXPECT_EQ(Hex(b.substr(0, 60)),
              NoBlanks("424D 3A030000 00000000 36000000 28000000 01010000 01000000 0100 1800 00000000 04030000 "
                       "C40E0000 C40E0000 00000000 00000000 000000 030201"));
    EXPECT_EQ(b.size(), 826u);
    // Reduced for a palette-only encoder: 252 colors, each channel of a pixel at the nearest of 6, 7 and 6 levels.
    EXPECT_EQ(Hex(r.substr(28, 2)) + " " + Hex(r.substr(46, 4)), "0800 FC000000") << "bits, colors";
    const size_t offset = static_cast<unsigned char>(r[10]) | static_cast<unsigned char>(r[11]) << 8;
    for (uint32_t i : {0u, 1u, 100u, 128u, 256u})
        for (uint32_t k : {0u, 1u, 2u}) {  // blue, green, red
            const int level = static_cast<unsigned char>(r[54 + 4 * static_cast<unsigned char>(r[offset + i]) + k]);
            EXPECT_LE(std::abs(static_cast<int>((px[i] >> (8 * k)) & 0xFF) - level), k == 1 ? 21 : 25) << i << " " << k;
        }
}

}  // namespace
