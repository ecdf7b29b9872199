#pragma once
// What several unit tests share: scratch files of their own and byte strings written in hex.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

// A file in the test folder that no other test process uses.
inline std::string ScratchPath(const std::string& name) {
    return testing::TempDir() + "kt" + std::to_string(getpid()) + "_" + name;
}

inline std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Bytes as upper-case hex digits, to compare with an expectation written in hex with blanks between fields.
inline std::string Hex(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes) out += "0123456789ABCDEF"[c >> 4], out += "0123456789ABCDEF"[c & 15];
    return out;
}

inline std::string NoBlanks(std::string hex) {
    hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
    return hex;
}
