#include "plot/plot_run.h"

#include "base/process_state.h"

void QueuePlotChar(PlotState& st, RunModes runMode, char c, const PlotLineOut& out) {
    if (runMode == RunModes::Idle) return;
    std::string& buffer = st.SendBuffer;
    buffer += c;
    if (c == ';') buffer += "\r\n";
    // A LF that follows no CR ends a line too: files written on Unix-like systems.
    const bool lineFeedAlone = c == '\n' && !st.LastCharWasCR;
    st.LastCharWasCR = c == '\r';
    if (c == ';' || c == '\r' || lineFeedAlone) st.SendBufferHasCR = true;
    if (!st.SendBufferHasCR) return;
    if (out.waitBeforeLine && !out.waitBeforeLine()) return;

    bool visible = false;
    for (const char b : buffer) visible = visible || static_cast<unsigned char>(b) > 32;
    if (visible) {
        std::string line;
        line.reserve(buffer.size() + 2);
        for (const char b : buffer) {
            if (b != '\r' && b != '\n') line += b;
        }
        line += "\r\n";
        if (out.send) out.send(line);
    }
    buffer.clear();
    st.SendBufferHasCR = false;
}
