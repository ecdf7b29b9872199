#include "sim/sim_registers.h"

#include <cstdio>

namespace {

void PutWide(SimRegisters& regs, int first, int width, int64_t value) {
    for (int k = 0; k < width; ++k) regs[first + k] = static_cast<uint8_t>((value >> (8 * k)) & 0xFF);
}

// A state file is small; a larger file is not ours and is not applied.
constexpr size_t kMaxStateFile = 1 << 20;

}  // namespace

void SimFactoryRegisters(SimRegisters& regs) {
    regs.fill(0);
    regs[kSimRegStepTime] = 4;  // 0.512 ms a step: about 49 mm/s at one step per plotter unit
    regs[3] = 60;               // PWM % while running
    regs[4] = 20;               // PWM % while standing
    regs[kSimRegHalfStep] = 0;
    regs[kSimRegEcho] = 2;  // position echo on, so a fresh board shows where it is
    regs[kSimRegOutput] = 0;
    PutWide(regs, kSimRegStepsPer100mm, 2, 4000);  // 40 steps/mm: one step per plotter unit
    PutWide(regs, kSimRegXZero, 4, 400);           // zero point 10 mm from the reference in X and Y
    PutWide(regs, kSimRegXZero + 4, 4, 400);
    PutWide(regs, kSimRegXZero + 8, 4, 0);  // and at the top in Z
    PutWide(regs, 22, 2, 120);              // motors off after 2 minutes
    PutWide(regs, 24, 2, 30);               // spindle off after 30 s
    for (int tool = 1; tool <= kSimToolCount; ++tool) {
        const int base = 21 + 5 * tool;
        regs[base] = 4;                         // plunge at a quarter of the rapid speed
        regs[base + 1] = 2;                     // cut at half of it
        regs[base + 2] = 0;                     // no key wait, fast retract
        PutWide(regs, base + 3, 2, 40 * tool);  // tool n plunges n mm
    }
}

int64_t SimJoinRegisters(const SimRegisters& regs, int first, int width) {
    int64_t value = 0;
    for (int k = width - 1; k >= 0; --k) value = value * 256 + regs[first + k];
    return value;
}

uint8_t SimLowByte(int64_t value) { return static_cast<uint8_t>(static_cast<uint64_t>(value) & 0xFF); }

// Grammar of a state file line: digits "=" digits, optional blanks around both; a line
// starting with "#" and every malformed line or out-of-range number is skipped.
bool SimReadStateFile(const std::string& path, SimRegisters& regs) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string text;
    char buf[4096];
    size_t n;
    while (text.size() <= kMaxStateFile && (n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    const bool whole = !std::ferror(f) && text.size() <= kMaxStateFile;
    std::fclose(f);
    // All or nothing: the part before the limit would end in a cut line ("1234=25" read as "1234=2").
    if (!whole) return false;

    SimFactoryRegisters(regs);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        size_t i = pos;
        pos = end + 1;
        auto skipBlanks = [&] {
            while (i < end && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
        };
        auto readNumber = [&](int64_t& v) {
            size_t start = i;
            v = 0;
            while (i < end && text[i] >= '0' && text[i] <= '9') {
                if (v < 100000) v = v * 10 + (text[i] - '0');
                ++i;
            }
            return i > start;
        };
        int64_t reg, value;
        skipBlanks();
        if (!readNumber(reg)) continue;
        skipBlanks();
        if (i >= end || text[i] != '=') continue;
        ++i;
        skipBlanks();
        if (!readNumber(value)) continue;
        skipBlanks();
        if (i != end) continue;
        if (reg < 1 || reg >= kSimRegisterCount || reg == kSimCommandRegister || value > 255) continue;
        regs[reg] = static_cast<uint8_t>(value);
    }
    return true;
}

bool SimWriteStateFile(const std::string& path, const SimRegisters& regs) {
    SimRegisters factory;
    SimFactoryRegisters(factory);
    // Written beside the target and renamed, so a crash mid-write leaves the old file whole.
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fputs("# kt4180-sim registers: register=value\n", f) >= 0;
    for (int r = 1; r < kSimRegisterCount && ok; ++r) {
        if (regs[r] == 0 && factory[r] == 0) continue;
        ok = std::fprintf(f, "%d=%d\n", r, regs[r]) > 0;
    }
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        std::remove(tmp.c_str());
        return false;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        // Windows will not rename over an existing file.
        std::remove(path.c_str());
        if (std::rename(tmp.c_str(), path.c_str()) != 0) {
            std::remove(tmp.c_str());
            return false;
        }
    }
    return true;
}
