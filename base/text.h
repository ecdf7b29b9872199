#pragma once
// Small jobs on 8-bit text and byte strings that several parts of the program share.
#include <cstdint>
#include <string>

// Upper case for the ASCII letters only: the bytes of plot commands, file types and MIME
// types; Windows-1252 letters above 127 stay as they are.
inline char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline std::string UpperAscii(std::string s) {
    for (char& c : s) c = UpperAscii(c);
    return s;
}

// Appends the low `bytes` bytes of v, least significant first, as file formats and in-memory
// templates of Windows store numbers.
template <class Bytes>
void PutLittleEndian(Bytes& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<typename Bytes::value_type>((v >> (8 * i)) & 0xFF));
}
