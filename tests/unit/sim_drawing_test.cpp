#include "sim/sim_drawing.h"

#include <gtest/gtest.h>

#include <string>

#include "sim/sim_board.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& os, const Rgb& c) { return os << c.r << "," << c.g << "," << c.b; }

Rgb At(const SimPicture& p, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * p.width + x) * 3;
    return {p.rgb[i], p.rgb[i + 1], p.rgb[i + 2]};
}

uint32_t Big32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (size_t i = at; i < at + 4; ++i) v = v << 8 | static_cast<uint8_t>(s[i]);
    return v;
}

uint32_t Crc(const std::string& s) {
    uint32_t crc = 0xFFFFFFFFu;
    for (char c : s) {
        crc ^= static_cast<uint8_t>(c);
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// Deflate's fixed-code blocks (all the encoder writes), decoded per RFC 1951.
struct Inflater {
    const std::string& in;
    size_t bit = 0;
    uint32_t Bits(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i, ++bit) v |= ((static_cast<uint8_t>(in.at(bit / 8)) >> (bit % 8)) & 1u) << i;
        return v;
    }
    uint32_t Code(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = v << 1 | Bits(1);
        return v;
    }
    int Symbol() {
        const uint32_t c7 = Code(7);
        if (c7 < 24) return 256 + static_cast<int>(c7);
        const uint32_t c8 = c7 << 1 | Code(1);
        if (c8 < 0xC0) return static_cast<int>(c8) - 0x30;
        if (c8 < 0xC8) return 280 + static_cast<int>(c8) - 0xC0;
        return 144 + static_cast<int>((c8 << 1 | Code(1)) - 0x190);
    }
    std::string Run() {
        std::string out;
        for (;;) {
            int last = static_cast<int>(Bits(1));
            EXPECT_EQ(Bits(2), 1u) << "fixed codes";
            for (int sym = Symbol(); sym != 256; sym = Symbol()) {
                if (sym < 256) {
                    out += static_cast<char>(sym);
                    continue;
                }
                auto extra = [](int s) { return s < 265 || s == 285 ? 0 : (s - 261) / 4; };
                int length = 3;
                for (int s = 257; s < sym; ++s) length += 1 << extra(s);
                if (sym == 285) length = 258;
                length += static_cast<int>(Bits(extra(sym)));
                const uint32_t distanceCode = Code(5);
                EXPECT_LT(distanceCode, 4u) << "distances 1..4 need no extra bits";
                const size_t from = out.size() - (distanceCode + 1);
                for (int k = 0; k < length; ++k) out += out[from + k];
            }
            if (last) return out;
        }
    }
};

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
    EXPECT_EQ(b.drawing[1].x0, 4000);
    EXPECT_EQ(b.drawing[1].y1, 2000);
    EXPECT_EQ(b.drawing[1].pen, 2);

    const SimPicture p = SimRenderDrawing(b.drawing, 416);  // 11 plotter units a pixel
    const int m = kSimDrawingMargin;
    ASSERT_EQ(p.width, 4000 / 11 + 1 + 2 * m);
    ASSERT_EQ(p.height, 2000 / 11 + 1 + 2 * m);
    const int bottom = p.height - 1 - m, right = m + 4000 / 11;
    EXPECT_EQ(At(p, 100, bottom), (Rgb{8, 0, 0}));
    EXPECT_EQ(At(p, right, 100), (Rgb{16, 0, 0}));
    EXPECT_EQ(At(p, m, 100), (Rgb{0, 1, 0}));  // pen 32: 256
    EXPECT_EQ(At(p, 100, m), (Rgb{255, 255, 224})) << "the top edge was drawn with the pen up";
    EXPECT_EQ(At(p, 100, bottom - 1), (Rgb{255, 255, 224}));

    // Below and left of (0,0) the picture grows; a huge coordinate scales, never overflows.
    const SimPicture wide = SimRenderDrawing({{-2147483647 - 1, -5, 2147483647, 5, 1}}, 800);
    EXPECT_LE(wide.width, 800);
    EXPECT_EQ(At(wide, 400, wide.height / 2), (Rgb{8, 0, 0}));
}

TEST(SimDrawing, PngChunksAndPixelsDecode) {
    SimPicture p = SimRenderDrawing({{0, 0, 300, 200, 7}, {0, 200, 300, 0, 31}}, 400);
    const std::string png = SimEncodePng(p);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    std::string idat;
    size_t at = 8;
    std::string types;
    while (at + 12 <= png.size()) {
        const uint32_t length = Big32(png, at);
        const std::string body = png.substr(at + 4, 4 + length);
        EXPECT_EQ(Big32(png, at + 8 + length), Crc(body)) << body.substr(0, 4);
        types += body.substr(0, 4);
        if (body.substr(0, 4) == "IHDR") {
            EXPECT_EQ(Big32(body, 4), static_cast<uint32_t>(p.width));
            EXPECT_EQ(Big32(body, 8), static_cast<uint32_t>(p.height));
            EXPECT_EQ(body.substr(12), std::string("\x08\x02\x00\x00\x00", 5));
        }
        if (body.substr(0, 4) == "IDAT") idat += body.substr(4);
        at += 12 + length;
    }
    EXPECT_EQ(types, "IHDRIDATIEND");
    ASSERT_EQ(at, png.size());
    ASSERT_EQ(idat.substr(0, 2), "\x78\x01");
    const std::string raw = Inflater{idat, 16}.Run();
    const size_t stride = static_cast<size_t>(p.width) * 3;
    ASSERT_EQ(raw.size(), (stride + 1) * p.height);
    uint32_t a = 1, s = 0;
    for (char c : raw) a = (a + static_cast<uint8_t>(c)) % 65521, s = (s + a) % 65521;
    EXPECT_EQ(Big32(idat, idat.size() - 4), s << 16 | a);
    std::vector<uint8_t> pixels;
    for (size_t y = 0; y < static_cast<size_t>(p.height); ++y) {
        const uint8_t filter = static_cast<uint8_t>(raw[y * (stride + 1)]);
        ASSERT_LE(filter, 2);
        for (size_t i = 0; i < stride; ++i) {
            const uint8_t above = (y > 0 && filter == 2) ? pixels[(y - 1) * stride + i] : 0;
            pixels.push_back(static_cast<uint8_t>(static_cast<uint8_t>(raw[y * (stride + 1) + 1 + i]) + above));
        }
    }
    EXPECT_EQ(pixels, p.rgb);
}
