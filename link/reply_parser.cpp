#include "link/reply_parser.h"

#include <cmath>
#include <vector>

#include "base/numbers.h"
#include "base/process_state.h"
#include "base/text.h"

namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == sep)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

// Positions are decimal only: a "0x" or "&h" field reads as 0.
double DecimalField(const std::vector<std::string>& fields, size_t i) {
    if (i >= fields.size()) return 0;
    const std::string& f = fields[i];
    size_t k = 0;
    while (k < f.size() && (f[k] == ' ' || f[k] == '\t')) ++k;
    if (k < f.size() && f[k] == '&') return 0;
    return TextToNumber(f);
}

std::string PlainNumber(double v) {
    if (!std::isfinite(v)) return "0";
    if (v == std::floor(v) && std::fabs(v) < 9.0e15) return NumberText(static_cast<int64_t>(v));
    std::string t = FormatNumber(v, "0.000000");
    while (!t.empty() && t.back() == '0') t.pop_back();
    if (!t.empty() && t.back() == '.') t.pop_back();
    return t;
}

}  // namespace

ReplyActions ParseReplyText(const std::string& b) {
    ReplyActions a;
    const size_t echo = b.rfind("XYZP=");
    if (echo != std::string::npos) {
        const auto f = Split(b.substr(echo + 5), '/');
        a.hasPosition = true;
        a.posX = FormatNumber(DecimalField(f, 0) / kPlotterUnitsPerMm, "0.000");
        a.posY = FormatNumber(DecimalField(f, 1) / kPlotterUnitsPerMm, "0.000");
        a.posZ = FormatNumber(DecimalField(f, 2) / kPlotterUnitsPerMm, "0.000");
        a.pen = PlainNumber(DecimalField(f, 3));
    }
    if (b.find("Register") != std::string::npos) {
        // The first nine characters, "Register" and its separator, go by position.
        const std::string rest = UpperAscii(b.size() > 9 ? b.substr(9) : "");
        std::string hex;
        for (size_t i = 0; i < rest.size(); ++i) {
            if (rest[i] == '0' && i + 1 < rest.size() && rest[i + 1] == 'X') {
                hex += "&h";
                ++i;
            } else {
                hex += rest[i];
            }
        }
        const auto f = Split(hex, '=');
        const int32_t n = TextToInt32(f[0]);
        const int32_t v = f.size() > 1 ? TextToInt32(f[1]) : 0;
        if (n > 0 && n < kLastRegister) {  // the last register is never reported
            a.hasRegister = true;
            a.registerNumber = n;
            a.registerValue = v;
        }
    }
    return a;
}
