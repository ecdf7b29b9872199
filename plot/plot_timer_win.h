#pragma once
// The work of the main dialog's 250 ms timer: the first controller search, the run's
// progress and mode caption, and the preview rebuilt once the window has kept its size.

void PlotTimerTick();
