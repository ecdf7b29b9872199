#include "sim/sim_drawing.h"

#include <cstdio>
#include <cstdlib>

#include "plot/draw_move.h"

namespace {

// A Windows RGB value (red in the low byte) as the picture's three bytes.
void RgbBytes(uint32_t rgb, uint8_t out[3]) {
    out[0] = static_cast<uint8_t>(rgb & 0xFF);
    out[1] = static_cast<uint8_t>((rgb >> 8) & 0xFF);
    out[2] = static_cast<uint8_t>((rgb >> 16) & 0xFF);
}

void SetPixel(SimPicture& p, int x, int y, const uint8_t color[3]) {
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    uint8_t* px = &p.rgb[(static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x)) * 3];
    px[0] = color[0];
    px[1] = color[1];
    px[2] = color[2];
}

// Bresenham between two pixels, both ends included.
void DrawLine(SimPicture& p, int x0, int y0, int x1, int y1, const uint8_t color[3]) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        SetPixel(p, x0, y0, color);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// ---- PNG ----------------------------------------------------------------------------------

uint32_t Crc32(const std::string& bytes, size_t from) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= static_cast<uint8_t>(bytes[i]);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

void PutBig32(std::string& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBig32(out, static_cast<uint32_t>(data.size()));
    std::string body = type;
    body += data;
    out += body;
    PutBig32(out, Crc32(body, 0));
}

struct BitWriter {
    std::string out;
    uint32_t acc = 0;
    int count = 0;
    void Put(uint32_t value, int bits) {  // least significant bit first
        acc |= value << count;
        count += bits;
        while (count >= 8) {
            out += static_cast<char>(acc & 0xFF);
            acc >>= 8;
            count -= 8;
        }
    }
    void PutCode(uint32_t code, int bits) {  // Huffman codes go most significant bit first
        uint32_t reversed = 0;
        for (int i = 0; i < bits; ++i) reversed |= ((code >> i) & 1u) << (bits - 1 - i);
        Put(reversed, bits);
    }
    void Flush() {
        if (count > 0) out += static_cast<char>(acc & 0xFF);
        acc = 0;
        count = 0;
    }
};

// The fixed literal/length code of deflate.
void PutSymbol(BitWriter& w, int symbol) {
    if (symbol < 144)
        w.PutCode(0x30 + symbol, 8);
    else if (symbol < 256)
        w.PutCode(0x190 + symbol - 144, 9);
    else if (symbol < 280)
        w.PutCode(symbol - 256, 7);
    else
        w.PutCode(0xC0 + symbol - 280, 8);
}

const int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                             31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// A copy of the previous byte, `length` (3..258) times: distance 1, code 0.
void PutRun(BitWriter& w, int length) {
    int i = 28;
    while (kLengthBase[i] > length) --i;
    PutSymbol(w, 257 + i);
    w.Put(static_cast<uint32_t>(length - kLengthBase[i]), kLengthExtra[i]);
    w.PutCode(0, 5);
}

// A zlib stream of one fixed-code block: runs of a repeated byte become copies, the rest
// literals. Paper is mostly runs, so this is small without a real match search.
std::string Deflate(const std::string& data) {
    BitWriter w;
    w.out = "\x78\x01";
    w.Put(1, 1);  // last block
    w.Put(1, 2);  // fixed codes
    size_t i = 0;
    while (i < data.size()) {
        size_t run = 0;
        while (i > 0 && i + run < data.size() && run < 258 && data[i + run] == data[i - 1]) ++run;
        if (run >= 3) {
            PutRun(w, static_cast<int>(run));
            i += run;
        } else {
            PutSymbol(w, static_cast<uint8_t>(data[i++]));
        }
    }
    PutSymbol(w, 256);
    w.Flush();
    uint32_t a = 1, b = 0;
    for (char c : data) {
        a = (a + static_cast<uint8_t>(c)) % 65521u;
        b = (b + a) % 65521u;
    }
    PutBig32(w.out, (b << 16) | a);
    return w.out;
}

}  // namespace

SimPicture SimRenderDrawing(const std::vector<SimStroke>& strokes, int maxSide) {
    int64_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (const SimStroke& s : strokes) {
        for (int64_t x : {int64_t{s.x0}, int64_t{s.x1}}) {
            if (x < minX) minX = x;
            if (x > maxX) maxX = x;
        }
        for (int64_t y : {int64_t{s.y0}, int64_t{s.y1}}) {
            if (y < minY) minY = y;
            if (y > maxY) maxY = y;
        }
    }
    const int64_t room = maxSide > 2 * kSimDrawingMargin + 1 ? maxSide - 2 * kSimDrawingMargin - 1 : 1;
    const int64_t span = maxX - minX > maxY - minY ? maxX - minX : maxY - minY;
    const int64_t scale = span > room ? (span + room - 1) / room : 1;  // plotter units a pixel
    SimPicture p;
    p.width = static_cast<int>((maxX - minX) / scale) + 1 + 2 * kSimDrawingMargin;
    p.height = static_cast<int>((maxY - minY) / scale) + 1 + 2 * kSimDrawingMargin;
    p.rgb.resize(static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 3);
    uint8_t paper[3];  // the preview's
    RgbBytes(kPreviewBackground, paper);
    for (size_t i = 0; i < p.rgb.size(); ++i) p.rgb[i] = paper[i % 3];
    auto column = [&](int32_t x) { return kSimDrawingMargin + static_cast<int>((x - minX) / scale); };
    auto row = [&](int32_t y) { return p.height - 1 - kSimDrawingMargin - static_cast<int>((y - minY) / scale); };
    for (const SimStroke& s : strokes) {
        uint8_t color[3];
        RgbBytes(PenColor(s.pen), color);
        DrawLine(p, column(s.x0), row(s.y0), column(s.x1), row(s.y1), color);
    }
    return p;
}

std::string SimEncodePng(const SimPicture& picture) {
    // Every row with the "up" filter: a row like the one above it becomes a run of zeros.
    const size_t stride = static_cast<size_t>(picture.width) * 3;
    std::string raw;
    raw.reserve((stride + 1) * static_cast<size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y) {
        raw += '\x02';
        const size_t at = static_cast<size_t>(y) * stride;
        for (size_t i = 0; i < stride; ++i) {
            const uint8_t above = y > 0 ? picture.rgb[at - stride + i] : 0;
            raw += static_cast<char>(static_cast<uint8_t>(picture.rgb[at + i] - above));
        }
    }
    std::string header;
    PutBig32(header, static_cast<uint32_t>(picture.width));
    PutBig32(header, static_cast<uint32_t>(picture.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, filters, no interlace
    std::string png = "\x89PNG\r\n\x1a\n";
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Deflate(raw));
    PutChunk(png, "IEND", "");
    return png;
}

bool SimWriteDrawing(const std::string& path, const std::vector<SimStroke>& strokes) {
    const std::string png = SimEncodePng(SimRenderDrawing(strokes));
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    ok = (std::fclose(f) == 0) && ok;
    if (ok && std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(path.c_str());  // Windows will not rename over an existing file
        ok = std::rename(tmp.c_str(), path.c_str()) == 0;
    }
    if (!ok) std::remove(tmp.c_str());
    return ok;
}
