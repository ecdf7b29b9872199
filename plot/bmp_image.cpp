#include "plot/bmp_image.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace {

void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

uint32_t PixelAt(const PlotCanvas& c, int32_t x, int32_t y) {
    return c.Pixels[static_cast<size_t>(y) * static_cast<size_t>(c.Stride) + static_cast<size_t>(x)] & 0xFFFFFF;
}

}  // namespace

std::string EncodeBmp(const PlotCanvas& c) {
    const int32_t w = c.Pixels && c.Width > 0 ? c.Width : 0;
    const int32_t h = c.Pixels && c.Height > 0 ? c.Height : 0;

    std::vector<uint32_t> palette;
    std::unordered_map<uint32_t, uint8_t> index;
    bool indexed = true;
    for (int32_t y = 0; y < h && indexed; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = PixelAt(c, x, y);
            if (index.count(p)) continue;
            if (palette.size() == 256) {
                indexed = false;
                break;
            }
            index[p] = static_cast<uint8_t>(palette.size());
            palette.push_back(p);
        }
    if (palette.empty()) palette.push_back(0);

    const uint32_t bits = indexed ? 8 : 24;
    const uint32_t rowBytes = ((static_cast<uint32_t>(w) * bits + 31) / 32) * 4;
    const uint32_t paletteBytes = indexed ? static_cast<uint32_t>(palette.size()) * 4 : 0;
    const uint32_t offset = 14 + 40 + paletteBytes;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h);

    std::string s;
    s.reserve(offset + imageBytes);
    s += "BM";
    Put32(s, offset + imageBytes);
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(w));
    Put32(s, static_cast<uint32_t>(h));  // bottom-up rows
    Put16(s, 1);
    Put16(s, bits);
    Put32(s, 0);  // uncompressed
    Put32(s, imageBytes);
    Put32(s, 3780);  // 96 dpi
    Put32(s, 3780);
    Put32(s, indexed ? static_cast<uint32_t>(palette.size()) : 0);
    Put32(s, 0);
    if (indexed)
        for (uint32_t p : palette) Put32(s, p);  // blue, green, red, 0: the same byte order
    for (int32_t y = h - 1; y >= 0; --y) {
        const size_t start = s.size();
        for (int32_t x = 0; x < w; ++x) {
            const uint32_t p = PixelAt(c, x, y);
            if (indexed) {
                s += static_cast<char>(index[p]);
            } else {
                s += static_cast<char>(p & 0xFF);
                s += static_cast<char>((p >> 8) & 0xFF);
                s += static_cast<char>((p >> 16) & 0xFF);
            }
        }
        while (s.size() - start < rowBytes) s += '\0';
    }
    return s;
}
