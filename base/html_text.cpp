#include "base/html_text.h"

namespace {

// Unicode code points of the bytes 0x80..0x9F in Windows-1252; 0 where the code page has none.
constexpr unsigned kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

const char* NamedEntity(unsigned char c) {
    switch (c) {
        case 0xE4: return "&auml;";
        case 0xF6: return "&ouml;";
        case 0xFC: return "&uuml;";
        case 0xC4: return "&Auml;";
        case 0xD6: return "&Ouml;";
        case 0xDC: return "&Uuml;";
        case 0xDF: return "&szlig;";
        case 0xA7: return "&sect;";
        default: return nullptr;
    }
}

}  // namespace

std::string HtmlText(const std::string& cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (const char ch : cp1252) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c < 0x80) {
            out += ch;
        } else if (const char* named = NamedEntity(c)) {
            out += named;
        } else {
            const unsigned code = c < 0xA0 ? kHighControls[c - 0x80] : c;
            out += "&#" + std::to_string(code ? code : 0xFFFD) + ";";
        }
    }
    return out;
}
