#include "sim/sim_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// Moves of 10 mm, each far longer for the board than a write time-out; it keeps 8 characters of each.
std::string SlowMoves(int n, const char* end = "\r\n") {
    std::string text;
    for (int i = 0; i < n; ++i) text += std::string("PR400,0;") + end;
    return text;
}
// The ";" of the 16th move fills the board's 128 characters.
const std::string kFill = SlowMoves(16, "");

struct LineRun {
    SimBoard board;
    SimLine line;
    std::string received;
    int64_t now = 0;
    int timeouts = 0;  // writes that ended with nothing written
    int64_t longestHoldUs = 0;
    bool heldWriteQueued = false;  // the transmit queue counted a write held 10 ms or more

    explicit LineRun(SimLineOptions options) {
        SimInit(board, true, "", 0);
        line.received = &received;
        SimLineOpen(line, board, options, 0);
        line.ctsFlow = true;
    }
    // A character a time as the program's sender does, once CTS is on and nothing pending; a timed-out write again.
    void Send(const std::string& text) {
        for (size_t i = 0; i < text.size();) {
            while (!SimLineCts(line, board, now) || SimLineTransmitQueue(line, board, now) > 0) now += 20;
            ASSERT_TRUE(SimLineStartWrite(line, board, text.substr(i, 1), now));
            SimWriteStatus s;
            const int64_t start = now;
            while ((s = SimLineWriteStatus(line, board, now)).pending) {
                if (now - start >= 10000 && SimLineTransmitQueue(line, board, now) == 1) heldWriteQueued = true;
                now += 20;
            }
            longestHoldUs = std::max(longestHoldUs, now - start);
            timeouts += s.written == 0;
            if (s.written > 0) ++i;
        }
    }
    void Finish() {
        while (!SimIdle(board)) SimLineAdvance(line, board, now += 100000);
    }
};

}  // namespace

// The UART sees CTS drop a character late; the driver holds (and counts) the writes that follow until CTS returns, or
// ends them unwritten at their time-out, and a sender counting what was written still delivers all, once, in order.
TEST(SimLine, TheUartSeesCtsLateAndHoldsTheWritesThatFollowUpToTheirTimeOut) {
    LineRun run({});
    run.Send(kFill);
    EXPECT_TRUE(SimLineCts(run.line, run.board, run.now)) << "a sample taken at once reads on";
    run.Send("PR400,0;");
    EXPECT_GT(run.longestHoldUs, 100000) << "no write was held while the board was full";
    EXPECT_TRUE(run.heldWriteQueued && run.timeouts == 0);
    EXPECT_EQ(run.received, kFill + "PR400,0;");

    const std::string text = SlowMoves(40);
    LineRun timed({SimLineKind::Uart, 20000});  // a write time-out of 20 ms a byte
    timed.Send(text);
    timed.Finish();
    EXPECT_GT(timed.timeouts, 0) << "no write was held past its time-out: the test proves nothing";
    EXPECT_EQ(std::make_pair(timed.received, timed.board.machine.x), std::make_pair(text, 400 * 40));
}

// A write ends with its 1 ms USB frame, CTS arrives the status delay late, the adapter keeps what comes meanwhile.
TEST(SimLine, AUsbAdapterSendsInFramesAndReportsCtsLate) {
    const SimLineOptions usb{SimLineKind::Usb};  // CTS reaches the PC 16 ms late, as it does by default
    LineRun run(usb);
    run.now = 300;
    ASSERT_TRUE(SimLineStartWrite(run.line, run.board, "P", run.now));
    EXPECT_TRUE(SimLineWriteStatus(run.line, run.board, 999).pending);
    EXPECT_EQ(SimLineWriteStatus(run.line, run.board, 1000).written, 1u);

    const std::string text = SlowMoves(20);
    run.now = 1000;
    run.Send(text.substr(1));
    EXPECT_GE(run.now, 1000 + 1000 * static_cast<int64_t>(text.size() - 1)) << "one write a frame at most";
    run.Finish();
    EXPECT_EQ(std::make_pair(run.received, run.timeouts), std::make_pair(text, 0));

    // Full: the board has dropped CTS; the PC sees it on for the status delay and writes on.
    LineRun full(usb);
    full.Send(kFill);
    while (SimReadyForInput(full.board)) SimLineAdvance(full.line, full.board, full.now += 100);
    const int64_t dropped = full.now;
    full.Send("PR4");
    EXPECT_EQ(full.received, kFill) << "the adapter keeps what the board cannot take yet";
    EXPECT_TRUE(SimLineCts(full.line, full.board, dropped + 15000));
    EXPECT_FALSE(SimLineCts(full.line, full.board, dropped + 17000));
    full.Finish();
    EXPECT_EQ(full.received, kFill + "PR4");
}
