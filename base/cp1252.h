#pragma once
// Windows-1252, the program's 8-bit text, beside Unicode: for pages that must stay ASCII and for
// files that an editor saved as UTF-16.
#include <cstdint>
#include <string>

// The Unicode code point of a byte; 0 for the five bytes the code page leaves undefined.
uint32_t Cp1252CodePoint(unsigned char c);
// The byte of a code point, or '?' where the code page has none.
char Cp1252FromCodePoint(uint32_t codePoint);
// Text that begins with a UTF-16 byte-order mark (FF FE little-endian, FE FF big-endian) as
// Windows-1252, the mark dropped; any other text unchanged.
std::string Cp1252FromUtf16Text(const std::string& bytes);
