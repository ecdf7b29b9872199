#include "plot/plot_state.h"

PlotState Plot;
