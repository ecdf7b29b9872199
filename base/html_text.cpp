#include "base/html_text.h"

#include "base/cp1252.h"

namespace {

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
            const uint32_t code = Cp1252CodePoint(c);
            out += "&#" + std::to_string(code ? code : 0xFFFD) + ";";
        }
    }
    return out;
}
