#pragma once
// The preview as a BMP file: 8 bits a pixel with a palette when the image has at most 256
// colours (a preview always has: background, pens, black), else 24 bits. The palette form
// is what every image encoder takes, GIF's included.
#include <string>

#include "plot/plot_state.h"

std::string EncodeBmp(const PlotCanvas& canvas);
