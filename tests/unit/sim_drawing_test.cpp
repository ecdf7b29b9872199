#include "sim/sim_drawing.h"

#include <gtest/gtest.h>

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

// Decodes a zlib stream of deflate blocks with fixed codes (RFC 1950/1951), all the encoder
// writes, and checks its Adler-32.
std::string Inflate(const std::string& z) {
    size_t bit = 16;
    auto bits = [&](int n, bool huffman) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++bit) {
            const uint32_t b = (static_cast<uint8_t>(z.at(bit / 8)) >> (bit % 8)) & 1u;
            v = huffman ? v << 1 | b : v | b << i;
        }
        return v;
    };
    std::string out;
    for (bool last = false; !last;) {
        last = bits(1, false);
        EXPECT_EQ(bits(2, false), 1u) << "fixed codes";
        for (;;) {
            uint32_t c = bits(7, true);
            int sym = c < 24 ? 256 + static_cast<int>(c) : -1;
            if (sym < 0 && (c = c << 1 | bits(1, true)) < 0xC8) sym = c < 0xC0 ? c - 0x30 : 280 + c - 0xC0;
            if (sym < 0) sym = 144 + static_cast<int>((c << 1 | bits(1, true)) - 0x190);
            if (sym == 256) break;
            if (sym < 256) {
                out += static_cast<char>(sym);
                continue;
            }
            auto extra = [](int s) { return s < 265 || s == 285 ? 0 : (s - 261) / 4; };
            int length = 3;
            for (int s = 257; s < sym; ++s) length += 1 << extra(s);
            length = sym == 285 ? 258 : length + static_cast<int>(bits(extra(sym), false));
            const uint32_t distance = bits(5, true) + 1;
            EXPECT_LE(distance, 4u) << "only distances without extra bits are expected";
            for (int k = 0; k < length; ++k) out += out.at(out.size() - distance);
        }
    }
    uint32_t a = 1, b = 0;
    for (char c : out) a = (a + static_cast<uint8_t>(c)) % 65521, b = (b + a) % 65521;
    EXPECT_EQ(Big32(z, (bit + 7) / 8), b << 16 | a);
    return out;
}

uint32_t Crc(const std::string& s) {
    uint32_t crc = ~0u;
    for (char c : s) {
        crc ^= static_cast<uint8_t>(c);
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

}  // namespace

// The board keeps every pen-down move with its pen; the picture has the preview's paper, pen
// colours (8 x pen, red in the low byte) and orientation (Y upwards).
TEST(SimDrawing, PenDownMovesInThePreviewsColoursAndOrientation) {
    SimBoard b;
    SimInit(b, false, "", 0);
    b.keepDrawing = true;
    const std::string plot = "PU0,0;PD4000,0;SP2;PD4000,2000;PU0,2000;SP32;PD0,0;PU;PR100,100\r\n";
    SimReceive(b, plot.data(), plot.size(), 0);
    ASSERT_EQ(b.drawing.size(), 3u);
    EXPECT_EQ(b.drawing[1].x0 + b.drawing[1].y1 + b.drawing[1].pen, 4000 + 2000 + 2);

    const SimPicture p = SimRenderDrawing(b.drawing, 416);  // 11 plotter units a pixel
    const int m = kSimDrawingMargin, bottom = p.height - 1 - m, right = m + 4000 / 11;
    ASSERT_EQ(p.width, right + 1 + m);
    ASSERT_EQ(p.height, 2000 / 11 + 1 + 2 * m);
    EXPECT_EQ(At(p, 100, bottom), "8,0,0");
    EXPECT_EQ(At(p, right, 100), "16,0,0");
    EXPECT_EQ(At(p, m, 100), "0,1,0");  // pen 32: 256
    EXPECT_EQ(At(p, 100, m), "255,255,224") << "the top edge was drawn with the pen up";
    EXPECT_EQ(At(p, 100, bottom - 1), "255,255,224");

    // Below and left of (0,0) the picture grows; huge coordinates scale, never overflow.
    const SimPicture wide = SimRenderDrawing({{-2147483647 - 1, -5, 2147483647, 5, 1}}, 800);
    EXPECT_LE(wide.width, 800);
    EXPECT_EQ(At(wide, 400, wide.height / 2), "8,0,0");
}

TEST(SimDrawing, PngChunksAndPixelsDecode) {
    const SimPicture p = SimRenderDrawing({{0, 0, 300, 200, 7}, {0, 200, 300, 0, 31}}, 400);
    const std::string png = SimEncodePng(p);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    std::string types, header, idat;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = Big32(png, at);
        const std::string body = png.substr(at + 4, 4 + length);
        EXPECT_EQ(Big32(png, at + 8 + length), Crc(body)) << body.substr(0, 4);
        types += body.substr(0, 4);
        (body.substr(0, 4) == "IHDR" ? header : idat) += body.substr(4);
        at += 12 + length;
    }
    EXPECT_EQ(types, "IHDRIDATIEND");
    EXPECT_EQ(at, png.size());
    EXPECT_EQ(header.substr(8), std::string("\x08\x02\x00\x00\x00", 5));  // 8-bit RGB
    ASSERT_EQ(Big32(header, 0) * Big32(header, 4), static_cast<uint32_t>(p.width * p.height));
    ASSERT_EQ(idat.substr(0, 2), "\x78\x01");
    const std::string raw = Inflate(idat);
    const size_t stride = static_cast<size_t>(p.width) * 3;
    ASSERT_EQ(raw.size(), (stride + 1) * p.height);
    std::vector<uint8_t> pixels;  // undoing each row's filter: none (0) or "up" (2)
    for (size_t y = 0, i = 0; y < static_cast<size_t>(p.height); ++y) {
        const char filter = raw[i++];
        ASSERT_TRUE(filter == 0 || filter == 2);
        for (size_t x = 0; x < stride; ++x, ++i)
            pixels.push_back(static_cast<uint8_t>(raw[i] + (filter && y ? pixels[(y - 1) * stride + x] : 0)));
    }
    EXPECT_EQ(pixels, p.rgb);
}
