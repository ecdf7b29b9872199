#pragma once
// The line assembly of a plot run: the characters of the plot file, as the reader hands them
// over, become command lines for the controller.
#include <cstdint>
#include <functional>
#include <string>

#include "base/process_state.h"
#include "plot/plot_state.h"

// What the window side lends to the line assembly.
struct PlotLineOut {
    // The step wait before a complete line goes out (it runs once in automatic mode and polls
    // the run buttons). False when the main dialog is gone: the line stays in SendBuffer.
    std::function<bool()> waitBeforeLine;
    // SendCommand: one line ending in CR LF.
    std::function<void(const std::string& line)> send;
};

// Collects c into SendBuffer while runMode is not Idle. ";" stays in its line and ends it, as
// do CR and a LF that follows no CR; once a line is complete (and the wait let it go) CR and LF are taken out of it
// and it is sent with CR LF, unless it holds nothing above the blank. SendBuffer is emptied
// after each line, not at the end of a run: a last command without terminator goes out with
// the next run's first ";". Upper-casing is the reader's work.
void QueuePlotChar(PlotState& st, RunModes runMode, char c, const PlotLineOut& out);
