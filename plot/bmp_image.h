#pragma once
// The preview as a BMP file: 8 bits a pixel with a palette when the image has at most 256
// colors (a preview always has: background, pens, black), else 24 bits. The palette form
// is what every image encoder takes, GIF's included.
#include <string>

#include "plot/plot_state.h"

// reduce: an image of more than 256 colors is brought to a palette of 252 (6 x 7 x 6 levels
// of red, green, blue, each pixel to the nearest) instead of being written with 24 bits.
std::string EncodeBmp(const PlotCanvas& canvas, bool reduce = false);
