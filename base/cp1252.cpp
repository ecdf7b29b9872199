#include "base/cp1252.h"

namespace {

// Code points of the bytes 0x80..0x9F; 0 where the code page has none.
constexpr uint32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

uint32_t Cp1252CodePoint(unsigned char c) { return c >= 0x80 && c < 0xA0 ? kHighControls[c - 0x80] : c; }

char Cp1252FromCodePoint(uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<char>(codePoint);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] && kHighControls[i] == codePoint) return static_cast<char>(0x80 + i);
    return '?';
}

std::string Cp1252FromUtf16Text(const std::string& bytes) {
    if (bytes.size() < 2) return bytes;
    const unsigned char b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
    const bool little = b0 == 0xFF && b1 == 0xFE, big = b0 == 0xFE && b1 == 0xFF;
    if (!little && !big) return bytes;
    std::string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const uint32_t lo = static_cast<unsigned char>(bytes[i + (big ? 1 : 0)]);
        const uint32_t hi = static_cast<unsigned char>(bytes[i + (big ? 0 : 1)]);
        const uint32_t unit = hi << 8 | lo;
        // A surrogate is half of a character beyond the code page: one '?' for the pair.
        if (unit >= 0xDC00 && unit <= 0xDFFF) continue;
        text += Cp1252FromCodePoint(unit >= 0xD800 && unit <= 0xDBFF ? 0x10000 : unit);
    }
    return text;
}
