#include "plot/bmp_image.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "base/text.h"

namespace {

void Put16(std::string& s, uint32_t v) { PutLittleEndian(s, v, 2); }
void Put32(std::string& s, uint32_t v) { PutLittleEndian(s, v, 4); }

uint32_t PixelAt(const PlotCanvas& c, int32_t x, int32_t y) {
    return c.pixels[static_cast<size_t>(y) * static_cast<size_t>(c.stride) + static_cast<size_t>(x)] & 0xFFFFFF;
}

constexpr uint32_t kLevels[3] = {6, 7, 6};  // red, green, blue: 252 colors

// The palette color nearest to p, as its index in the color cube.
uint8_t CubeIndex(uint32_t p) {
    uint32_t index = 0;
    for (int ch = 0; ch < 3; ++ch) {
        const uint32_t v = (p >> (16 - 8 * ch)) & 0xFF;
        index = index * kLevels[ch] + (v * (kLevels[ch] - 1) + 127) / 255;
    }
    return static_cast<uint8_t>(index);
}

std::vector<uint32_t> CubePalette() {
    std::vector<uint32_t> palette;
    for (uint32_t r = 0; r < kLevels[0]; ++r)
        for (uint32_t g = 0; g < kLevels[1]; ++g)
            for (uint32_t b = 0; b < kLevels[2]; ++b)
                palette.push_back((r * 255 / (kLevels[0] - 1)) << 16 | (g * 255 / (kLevels[1] - 1)) << 8 |
                                  b * 255 / (kLevels[2] - 1));
    return palette;
}

}  // namespace

std::string EncodeBmp(const PlotCanvas& c, bool reduce) {
    const int32_t w = c.pixels && c.width > 0 ? c.width : 0;
    const int32_t h = c.pixels && c.height > 0 ? c.height : 0;

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
    const bool cube = !indexed && reduce;
    if (cube) {
        palette = CubePalette();
        indexed = true;
    }

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
            if (cube) {
                s += static_cast<char>(CubeIndex(p));
            } else if (indexed) {
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
