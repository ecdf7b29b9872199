#include "plot/plot_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/process_state.h"
#include "plot/hpgl_reader.h"

namespace {

using Lines = std::vector<std::string>;

struct Wire {
    Lines sent;
    bool dialogAlive = true;
    int waits = 0;
    PlotLineOut Out() {
        PlotLineOut out;
        out.WaitBeforeLine = [this] {
            ++waits;
            return dialogAlive;
        };
        out.Send = [this](const std::string& line) { sent.push_back(line); };
        return out;
    }
};

void Feed(PlotState& st, int32_t mode, const std::string& text, const PlotLineOut& out) {
    for (const char c : text) QueuePlotChar(st, mode, c, out);
}

// A run as the window side drives it: ";" first, then the read with every character queued.
Lines RunFile(PlotState& st, const std::string& text) {
    Wire wire;
    const PlotLineOut out = wire.Out();
    QueuePlotChar(st, RunAuto, ';', out);
    PlotHost host;
    host.QueueChar = [&](char c) { QueuePlotChar(st, RunAuto, c, out); };
    ReadPlotText(st, text, host);
    return wire.sent;
}

TEST(QueuePlotChar, NothingIsCollectedWhileIdle) {
    PlotState st;
    Wire wire;
    Feed(st, RunIdle, "PU;\r\n", wire.Out());
    EXPECT_EQ(st.SendBuffer, "");
    EXPECT_TRUE(wire.sent.empty());
    EXPECT_EQ(wire.waits, 0);
}

TEST(QueuePlotChar, LineEnds) {
    PlotState st;
    Wire wire;
    // ";" stays in its line and ends it; CR ends a line; the LF after it is taken out of the
    // next line; blank lines are not sent.
    Feed(st, RunAuto, "PU;PA1,2;\r\nPA10,10\r\n \t\r\nPD;\r\n", wire.Out());
    EXPECT_EQ(wire.sent, (Lines{"PU;\r\n", "PA1,2;\r\n", "PA10,10\r\n", "PD;\r\n"}));
    EXPECT_EQ(st.SendBuffer, "\n");
    Feed(st, RunStep, "PU;", wire.Out());
    EXPECT_EQ(wire.sent.back(), "PU;\r\n");
    // Bytes above 127 are text, too.
    Feed(st, RunAuto, "\xE4\r", wire.Out());
    EXPECT_EQ(wire.sent.back(), "\xE4\r\n");
}

TEST(QueuePlotChar, ALineWaitsBeforeItGoesAndStaysWhenTheDialogIsGone) {
    PlotState st;
    Wire wire;
    wire.dialogAlive = false;
    Feed(st, RunAuto, "PU;X", wire.Out());
    EXPECT_TRUE(wire.sent.empty());
    EXPECT_EQ(st.SendBuffer, "PU;\r\nX");
    EXPECT_EQ(wire.waits, 2);
    wire.dialogAlive = true;
    Feed(st, RunAuto, "Y", wire.Out());
    EXPECT_EQ(wire.sent, (Lines{"PU;XY\r\n"}));
    EXPECT_EQ(st.SendBuffer, "");
}

TEST(PlotRunLines, TwoLineFileInUpperCase) {
    PlotState st;
    EXPECT_EQ(RunFile(st, "pu;pa0,0;\r\nPD;PA100,0;\r\n"),
              (Lines{";\r\n", "PU;\r\n", "PA0,0;\r\n", "PD;\r\n", "PA100,0;\r\n"}));
    EXPECT_EQ(RunFile(st, "PA10,10\r\nIN"), (Lines{";\r\n", "PA10,10\r\n"}));
}

TEST(PlotRunLines, ATrailingCommandGoesOutWithTheNextRunsStart) {
    PlotState st;
    EXPECT_EQ(RunFile(st, "PU;PA5,5"), (Lines{";\r\n", "PU;\r\n"}));
    EXPECT_EQ(st.SendBuffer, "PA5,5");
    EXPECT_EQ(RunFile(st, "PD;"), (Lines{"PA5,5;\r\n", "PD;\r\n"}));
}

TEST(PlotRunLines, StopDuringAStepWaitSendsTheWaitingLineAndNothingAfter) {
    PlotState st;
    int32_t mode = RunStep;
    Wire wire;
    PlotLineOut out = wire.Out();
    out.WaitBeforeLine = [&] {
        mode = RunIdle;  // BtnStop held while the first line waits
        return true;
    };
    PlotHost host;
    host.QueueChar = [&](char c) { QueuePlotChar(st, mode, c, out); };
    ReadPlotText(st, "PU;PA1,1;PD;", host);
    EXPECT_EQ(wire.sent, (Lines{"PU;\r\n"}));
    EXPECT_EQ(st.SendBuffer, "");
    // The reader still goes to the end of the file.
    EXPECT_EQ(st.DrawPosX, 1);
    EXPECT_TRUE(st.PenDown);
}

}  // namespace
