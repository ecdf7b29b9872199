#include "plot/bmp_image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {
uint32_t U32(const std::string& s, size_t at) {
    return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 | static_cast<uint8_t>(s[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24;
}
}  // namespace

TEST(BmpImage, FewColoursGiveAPalettedBottomUpImage) {
    // 3 x 2: top row red, green, red; bottom row background.
    std::vector<uint32_t> px = {0xFF0000, 0x00FF00, 0xFF0000, 0, 0xFFFFE0, 0xFFFFE0, 0xFFFFE0, 0};
    PlotCanvas c{px.data(), 3, 2, 4};
    const std::string b = EncodeBmp(c);
    ASSERT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U32(b, 18), 3u);
    EXPECT_EQ(U32(b, 22), 2u);
    EXPECT_EQ(b[28], 8);           // bits a pixel
    EXPECT_EQ(U32(b, 46), 3u);     // colours used
    const uint32_t offset = U32(b, 10);
    EXPECT_EQ(offset, 14u + 40u + 12u);
    // The palette in first-seen order, as blue, green, red, 0.
    EXPECT_EQ(U32(b, 54), 0xFF0000u);
    EXPECT_EQ(U32(b, 58), 0x00FF00u);
    EXPECT_EQ(U32(b, 62), 0xFFFFE0u);
    // Rows padded to 4 bytes; the bottom row (background) comes first.
    EXPECT_EQ(b.substr(offset, 4), std::string("\x02\x02\x02\x00", 4));
    EXPECT_EQ(b.substr(offset + 4, 4), std::string("\x00\x01\x00\x00", 4));
}

TEST(BmpImage, ManyColoursGive24Bits) {
    std::vector<uint32_t> px(300);
    for (uint32_t i = 0; i < px.size(); ++i) px[i] = i * 0x010203;
    PlotCanvas c{px.data(), 300, 1, 300};
    const std::string b = EncodeBmp(c);
    EXPECT_EQ(b[28], 24);
    EXPECT_EQ(U32(b, 10), 54u);
    EXPECT_EQ(b.size(), 54u + 900u);
    EXPECT_EQ(static_cast<uint8_t>(b[54 + 3]), 0x03);  // pixel 1: blue byte first

    // Reduced for a palette-only encoder: 252 colours, each pixel the nearest of them.
    const std::string r = EncodeBmp(c, true);
    ASSERT_EQ(r[28], 8);
    EXPECT_EQ(U32(r, 46), 252u);
    const uint32_t offset = U32(r, 10);
    for (uint32_t i : {0u, 1u, 100u, 299u}) {
        const uint32_t pal = U32(r, 54 + 4 * static_cast<uint8_t>(r[offset + i]));
        for (int shift : {0, 8, 16}) {
            const int want = (px[i] >> shift) & 0xFF, got = (pal >> shift) & 0xFF;
            EXPECT_LE(std::abs(want - got), 26) << i << " " << shift;  // half a step of 6 levels
        }
    }
}

TEST(BmpImage, AnEmptyCanvasStillGivesAValidFile) {
    PlotCanvas c;
    const std::string b = EncodeBmp(c);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(U32(b, 2), b.size());
}
