#pragma once
// Running the plot file on the machine, automatically or a line at a time.

// BtnRun or BtnStep clicked: sends ";" and then the file line by line while the preview
// grows on a light green ground.
void StartPlotRun(int id);
