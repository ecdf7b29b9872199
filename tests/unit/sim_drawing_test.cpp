#include "sim/sim_drawing.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "sim/sim_board.h"

namespace {

std::string At(const SimPicture& p, int x, int y) {
    const uint8_t* c = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
    return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]);
}

uint32_t Big32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (size_t i = at; i < at + 4; ++i) v = v << 8 | static_cast<uint8_t>(s[i]);
    return v;
}

}  // namespace

// The board keeps every pen-down move with its pen; the picture has the preview's paper, pen colors and Y upwards.
TEST(SimDrawing, PenDownMovesInThePreviewsColorsAndOrientationAsAPng) {
    SimBoard b;
    SimInit(b, false, "", 0);
    b.keepDrawing = true;
    const std::string plot = "PU0,0;PD4000,0;SP2;PD4000,2000;PU0,2000;SP32;PD0,0;PU;PR100,100\r\n";
    SimReceive(b, plot.data(), plot.size(), 0);
    ASSERT_EQ(b.drawing.size(), 3u);
    EXPECT_EQ(std::make_tuple(b.drawing[1].x0, b.drawing[1].y1, b.drawing[1].pen), std::make_tuple(4000, 2000, 2))
        << "the second move: from x, to y, pen";

    const SimPicture p = SimRenderDrawing(b.drawing, 416);  // 11 plotter units a pixel
    const int m = kSimDrawingMargin, bottom = p.height - 1 - m, right = m + 4000 / 11;
    ASSERT_EQ(std::make_pair(p.width, p.height), std::make_pair(right + 1 + m, 2000 / 11 + 1 + 2 * m));
    EXPECT_EQ(At(p, 100, bottom) + " " + At(p, right, 100) + " " + At(p, m, 100), "8,0,0 16,0,0 0,1,0")
        << "pen 1 along the bottom, pen 2 up the right, pen 32 (256) down the left";
    EXPECT_EQ(At(p, 100, m) + " " + At(p, 100, bottom - 1), "255,255,224 255,255,224")
        << "paper: the top edge was drawn with the pen up, the bottom edge is one pixel wide";

    // Below and left of (0,0) the picture grows; huge coordinates scale, never overflow.
    const SimPicture wide = SimRenderDrawing({{-2147483647 - 1, -5, 2147483647, 5, 1}}, 800);
    EXPECT_LE(wide.width, 800);
    EXPECT_EQ(At(wide, 400, wide.height / 2), "8,0,0");
    EXPECT_EQ(At(SimRenderDrawing({{0, -20, 0, -10, 1}}, 800), m, m + 20), "8,0,0");
    EXPECT_LE(SimRenderDrawing({{0, -2000, 0, 2000, 1}}, 400).height, 400) << "a tall drawing scales by its height";

    // As a PNG, of a cross in pens 7 and 31: every chunk's CRC holds, and the pixels decode to the picture's.
    const SimPicture cross = SimRenderDrawing({{0, 0, 300, 200, 7}, {0, 200, 300, 0, 31}}, 400);
    const std::string png = SimEncodePng(cross);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    std::string types, header, idat;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = Big32(png, at);
        const std::string body = png.substr(at + 4, 4 + length);
        EXPECT_EQ(Big32(png, at + 8 + length), crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size()));
        types += body.substr(0, 4);
        (body.substr(0, 4) == "IHDR" ? header : idat) += body.substr(4);
        at += 12 + length;
    }
    EXPECT_EQ(std::make_pair(types, at), std::make_pair(std::string("IHDRIDATIEND"), png.size()));
    EXPECT_EQ(header.substr(8), std::string("\x08\x02\x00\x00\x00", 5));  // 8-bit RGB
    ASSERT_EQ(Big32(header, 0) * Big32(header, 4), static_cast<uint32_t>(cross.width * cross.height));
    const size_t stride = static_cast<size_t>(cross.width) * 3;
    std::string raw((stride + 1) * cross.height + 1, '\0');  // one byte over: a longer stream fails
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(&raw[0]), &rawSize, reinterpret_cast<const Bytef*>(idat.data()),
                         idat.size()),
              Z_OK);
    ASSERT_EQ(rawSize, raw.size() - 1);
    std::vector<uint8_t> pixels;  // undoing each row's filter: none (0) or "up" (2)
    for (size_t y = 0, i = 0; y < static_cast<size_t>(cross.height); ++y) {
        const char filter = raw[i++];
        ASSERT_TRUE(filter == 0 || filter == 2);
        for (size_t x = 0; x < stride; ++x, ++i)
            pixels.push_back(static_cast<uint8_t>(raw[i] + (filter && y ? pixels[(y - 1) * stride + x] : 0)));
    }
    EXPECT_EQ(pixels, cross.rgb);
}
