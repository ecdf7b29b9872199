#pragma once
// What the plot reader, the preview and the plot run share, and what the window side lends
// to each read of a plot file. User-interface thread only.
#include <cstdint>
#include <functional>
#include <string>

constexpr int32_t kPlotTextMax = 9999999;      // a longer plot file is cut there
constexpr int32_t kExtentsReset = -999999999;  // ExtMaxX/ExtMaxY before any pen-down step
constexpr int32_t kMoveLimit = 90000;          // drawing units; a longer move is ignored whole
constexpr std::size_t kPensListMax = 98;       // also the cut of every status-bar text

// The process-wide plot values. Position, pen state and pen carry over from one read to the
// next; a read resets only the extents and the file length.
struct PlotState {
    std::string PlotFile;        // current plot file; empty when none is chosen
    int32_t PlotFileLength = 0;  // bytes taken by the last read
    int32_t DrawScale = 1;       // plotter units per drawing unit; 0: no usable scale, moves skipped
    int32_t DrawPosX = 0;        // drawing units, advanced only by DrawMove
    int32_t DrawPosY = 0;
    bool PenDown = false;
    int32_t CurrentPen = 0;
    int32_t ExtMaxX = kExtentsReset;  // largest pen-down X and Y, drawing units
    int32_t ExtMaxY = kExtentsReset;
    bool MeasureOnly = false;  // DrawMove tracks but sets no pixels
    int32_t GraphicWidth = 0;  // size of the preview taken by the last preview build
    int32_t GraphicHeight = 0;
    std::string PensList;    // "SP's: 1, 2, " or empty
    std::string SendBuffer;  // the run's command line being collected
    // Whether SendBuffer holds a line end, kept so that collecting a long line stays linear: a
    // line that could not go out (the main dialog was gone) keeps it while more is appended.
    bool SendBufferHasCR = false;
    bool LastCharWasCR = false;  // the run's last character; a LF after it is no line end of its own
};

extern PlotState Plot;

// The off-screen image of the preview: 32-bit words 0x00RRGGBB as in a 32-bit DIB section,
// the top row first. Pixels outside it are clipped.
struct PlotCanvas {
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t stride = 0;  // words from one row to the next
};

// What the window side lends to a read. Each member may be left empty.
struct PlotHost {
    PlotCanvas* canvas = nullptr;  // pen-down moves are drawn here; none: positions are only tracked
    // ProgressPercent, 0..100, each time it changes during the walk.
    std::function<void(int32_t percent)> progress;
    // QueuePlotChar: every character of the file once, upper case, in file order.
    std::function<void(char c)> queueChar;
    // After each recognised command; a run redraws the preview here.
    std::function<void()> commandRead;
    // Each completed pair, just before DrawMove gets it, with the pen state it is drawn with.
    std::function<void(int32_t dx, int32_t dy, bool penDown)> move;
    // Before each move DrawMove walks: the windows served when that is due. False when the
    // main dialog is gone: the move is dropped, the position stays.
    std::function<bool()> drawStep;
    // The end of every read: RunMode 0, the caption "Automatik:", the preview redrawn.
    std::function<void()> readEnded;
    // Preview builds only: status-bar part 2..6 (1-based, as SBar1 numbers them) and its text,
    // in that order; the status bar is redrawn and one message-pump step made after each.
    std::function<void(int part, const std::string& text)> statusText;
};
