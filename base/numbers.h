#pragma once
// Text to number and number to text, the way the whole program reads and shows numbers.
#include <cfloat>
#include <cstdint>
#include <string>

// The value rounded to its own type, float or double. x87 builds keep both in wider registers;
// a store rounds each result as every other build does, so that the same pixels are set and a
// quotient lands on the same side of a tie everywhere.
template <typename T>
T Stored(T v) {
#if FLT_EVAL_METHOD != 0
    volatile T s = v;
    return s;
#else
    return v;
#endif
}

// The board counts positions and lengths in plotter units, 40 to the millimetre.
constexpr int kPlotterUnitsPerMm = 40;

// Reads the number at the start of a text; whatever follows it is ignored.
//
//   text    = blank* ( decimal | hex ) anything
//   blank   = " " | TAB
//   decimal = [ "+" | "-" ] mantissa [ ( "e" | "E" ) [ "+" | "-" ] digit+ ]
//   mantissa= digit+ [ "." digit* ] | "." digit+
//   hex     = "&" ( "h" | "H" ) hexdigit*
//
// The decimal point is always ".", never the locale's comma. An exponent marker without digits
// after it is not part of the number ("5e" reads 5). A text with no number reads 0, and so
// does a sign that is not followed by a mantissa ("-&h10", "- 5"): the sign belongs to decimal
// numbers only.
// Hex is a bit pattern, as the controller's register values are: the value of the digits
// taken modulo 2^64 (more than 16 significant digits keep the last 16); a value that fits in
// 32 bits is read as a 32-bit two's-complement number ("&hFFFFFFFF" is -1, "&h7FFFFFFF" is
// 2147483647), a larger one as a 64-bit two's-complement number. So a register that holds
// 0x80000000 comes back as the same 32 bits.
// Decimals are rounded correctly to the nearest double however many digits they have; a
// magnitude beyond the double range reads as +-infinity, one below it as 0. Zero is +0.
double TextToNumber(const std::string& text);

// The hex digits of s from position `from` up to the first character that is not one (or up to
// `to`), as a 64-bit pattern: more than 16 digits keep the last 16.
uint64_t HexDigitsValue(const std::string& s, size_t from, size_t to = std::string::npos);
// A 64-bit pattern read as a two's-complement number.
int64_t SignedBits(uint64_t bits);

// Nearest integer, ties to even (12.5 -> 12, 13.5 -> 14, -2.5 -> -2); NaN gives 0, values
// beyond the int64 range give its limits.
int64_t RoundToInteger(double v);

// TextToNumber rounded ties to even and saturated to the int32 range. Hex texts of up to eight
// digits never saturate (they are 32-bit patterns); a decimal 4294967295 gives 2147483647.
int32_t TextToInt32(const std::string& text);

// Plain form: "-5", "12".
std::string NumberText(int64_t v);
// Spaced form, the stored form of numbers: a blank before a non-negative number (" 3", "-5").
std::string NumberTextSpaced(int64_t v);

// Formats a value with a mask of the form "0.000": the zeros before the point are the least
// number of integer digits, the zeros after it the number of decimals ("0.00", "0", "00.0").
// Other mask characters are not supported and are ignored.
// Rounding is half away from zero on the value's shortest decimal form, the digits a user
// would write for it: 2.675 with "0.00" gives "2.68" although the double is a little below
// 2.675. A value that rounds to zero has no minus sign ("0.000", never "-0.000").
// NaN gives "NaN", infinities "Inf" and "-Inf".
std::string FormatNumber(double value, const std::string& mask);
