#include "base/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

double NormalizeZero(double v) { return v == 0.0 ? 0.0 : v; }

// Hex digits from position i, as described in the header.
double ReadHex(const std::string& s, size_t i) {
    const uint64_t v = HexDigitsValue(s, i);
    if (v <= 0xFFFFFFFFu) {
        const double d = static_cast<double>(v);
        return v >= 0x80000000u ? d - 4294967296.0 : d;
    }
    return static_cast<double>(SignedBits(v));
}

// Decimal number from position i. The significant digits are collected (at most kMaxDigits,
// further ones only as a sticky digit that keeps halfway cases honest) and handed to
// from_chars in a canonical form whose exponent is always small, so that neither a digit run
// of any length nor an exponent of any size can overflow anything.
double ReadDecimal(const std::string& s, size_t i) {
    constexpr size_t kMaxDigits = 800;  // more than the 767 a double can ever need
    constexpr int64_t kExponentLimit = 1000000;
    const size_t n = s.size();

    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string digits;    // significant digits, no leading zeros
    int64_t exponent = 0;  // value = digits * 10^exponent
    bool sticky = false;   // a non-zero digit was dropped
    bool anyDigit = false;

    for (; i < n && IsDigit(s[i]); ++i) {
        anyDigit = true;
        if (digits.empty() && s[i] == '0') continue;
        if (digits.size() < kMaxDigits) {
            digits += s[i];
        } else {
            ++exponent;
            sticky = sticky || s[i] != '0';
        }
    }
    if (i < n && s[i] == '.') {
        for (++i; i < n && IsDigit(s[i]); ++i) {
            anyDigit = true;
            if (digits.empty() && s[i] == '0') {
                --exponent;
            } else if (digits.size() < kMaxDigits) {
                digits += s[i];
                --exponent;
            } else {
                sticky = sticky || s[i] != '0';
            }
        }
    }
    if (!anyDigit) return 0.0;

    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < n && (s[j] == '+' || s[j] == '-')) {
            expNegative = s[j] == '-';
            ++j;
        }
        if (j < n && IsDigit(s[j])) {
            int64_t e = 0;
            for (; j < n && IsDigit(s[j]); ++j)
                if (e < kExponentLimit) e = e * 10 + (s[j] - '0');
            exponent += expNegative ? -e : e;
        }
    }
    if (digits.empty()) return 0.0;
    if (sticky) {
        digits += '1';
        --exponent;
    }

    // The value lies in [10^(lead-1), 10^lead).
    const int64_t lead = static_cast<int64_t>(digits.size()) + exponent;
    const double infinity = std::numeric_limits<double>::infinity();
    double v;
    if (lead > 310) {
        v = infinity;
    } else if (lead < -330) {
        v = 0.0;
    } else {
        const std::string canonical = digits + "e" + std::to_string(exponent);
        v = 0.0;
        const auto r = std::from_chars(canonical.data(), canonical.data() + canonical.size(), v);
        if (r.ec == std::errc::result_out_of_range) v = lead > 0 ? infinity : 0.0;
    }
    return NormalizeZero(negative ? -v : v);
}

}  // namespace

uint64_t HexDigitsValue(const std::string& s, size_t from, size_t to) {
    uint64_t v = 0;
    for (size_t i = from; i < s.size() && i < to; ++i) {
        const int d = HexDigitValue(s[i]);
        if (d < 0) break;
        v = (v << 4) | static_cast<uint64_t>(d);
    }
    return v;
}

int64_t SignedBits(uint64_t bits) {
    return bits <= static_cast<uint64_t>(INT64_MAX) ? static_cast<int64_t>(bits) : -static_cast<int64_t>(~bits) - 1;
}

double TextToNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i + 1 < text.size() && text[i] == '&' && (text[i + 1] == 'h' || text[i + 1] == 'H'))
        return ReadHex(text, i + 2);
    return ReadDecimal(text, i);
}

int64_t RoundToInteger(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
    if (v <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    // Below 2^52 in magnitude v - floor(v) is exact; above it v has no fraction.
    double r = std::floor(v);
    const double fraction = v - r;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return static_cast<int64_t>(r);
}

int32_t TextToInt32(const std::string& text) {
    const int64_t v = RoundToInteger(TextToNumber(text));
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

std::string NumberText(int64_t v) { return std::to_string(v); }

std::string NumberTextSpaced(int64_t v) { return v >= 0 ? " " + std::to_string(v) : std::to_string(v); }

std::string FormatNumber(double value, const std::string& mask) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Inf" : "Inf";

    size_t minIntegerDigits = 0;
    size_t decimals = 0;
    bool hasPoint = false;
    for (const char c : mask) {
        if (c == '.') {
            hasPoint = true;
        } else if (c == '0') {
            ++(hasPoint ? decimals : minIntegerDigits);
        }
    }

    // Shortest decimal form of |value| as digits d1 d2 ... with value = 0.d1d2... * 10^point.
    const bool negative = std::signbit(value);
    std::string digits;
    int64_t point = 0;
    if (value != 0.0) {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
        const char* p = buf;
        for (; p < r.ptr && *p != 'e'; ++p)
            if (*p != '.') digits += *p;
        int64_t e = 0;
        bool expNegative = false;
        if (p < r.ptr) ++p;  // 'e'
        if (p < r.ptr && (*p == '+' || *p == '-')) expNegative = *p++ == '-';
        for (; p < r.ptr; ++p) e = e * 10 + (*p - '0');
        point = (expNegative ? -e : e) + 1;
    }

    // Keep the digits up to the last decimal, rounding half away from zero.
    const int64_t keep = point + static_cast<int64_t>(decimals);
    if (keep < 0) {
        digits.clear();
    } else if (keep < static_cast<int64_t>(digits.size())) {
        const bool up = digits[static_cast<size_t>(keep)] >= '5';
        digits.resize(static_cast<size_t>(keep));
        if (up) {
            size_t k = digits.size();
            while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
            if (k > 0) {
                ++digits[k - 1];
            } else {
                digits.insert(digits.begin(), '1');
                ++point;
            }
        }
    }
    // Digit at position i of the decimal expansion (0 = first digit of `digits`).
    auto digitAt = [&](int64_t i) -> char {
        return i >= 0 && i < static_cast<int64_t>(digits.size()) ? digits[static_cast<size_t>(i)] : '0';
    };

    std::string integerPart;
    for (int64_t i = 0; i < point; ++i) integerPart += digitAt(i);
    const size_t firstNonZero = integerPart.find_first_not_of('0');
    integerPart.erase(0, firstNonZero == std::string::npos ? integerPart.size() : firstNonZero);
    if (integerPart.size() < minIntegerDigits) integerPart.insert(0, minIntegerDigits - integerPart.size(), '0');

    std::string fraction;
    for (size_t i = 0; i < decimals; ++i) fraction += digitAt(point + static_cast<int64_t>(i));
    if (integerPart.empty() && decimals == 0) integerPart = "0";

    const bool nonZero = (integerPart + fraction).find_first_not_of('0') != std::string::npos;
    std::string out = negative && nonZero ? "-" : "";
    out += integerPart;
    if (hasPoint) out += "." + fraction;
    return out;
}
