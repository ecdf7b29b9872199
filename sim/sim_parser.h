#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A long polyline (PA, PR, PU, PD with many pairs) is queued in pieces of this many numbers,
// so that a line of any length needs bounded memory; every other command keeps its first few.
constexpr size_t kSimMaxPairParams = 64;
constexpr size_t kSimMaxOtherParams = 4;

// One command, or one piece of a long polyline, as the board queues it.
struct SimCommand {
    char name[3] = {0, 0, 0};     // upper-case mnemonic
    bool known = false;           // false: an accepted HPGL command that the board ignores (IN, VS, ...)
    bool first = true;            // first piece: PU/PD move the tool before the pairs
    bool last = true;             // last piece: the echoes follow it
    std::vector<int32_t> params;  // numbers, rounded and clamped to 32 bits
    // Filled in by the board:
    size_t chars = 0;  // received characters this command stands for (CTS accounting)
    int64_t arrivalMs = 0;
    bool started = false;
    int64_t startMs = 0;
    int64_t durationMs = 0;
};

enum class SimParseState : uint8_t { Idle, SecondLetter, Params, Ignore, Garbage };

// The parser's state between characters; a fresh value starts at the beginning of a line.
struct SimParser {
    SimParseState state = SimParseState::Idle;
    char name[3] = {0, 0, 0};
    bool known = false;
    bool continued = false;  // a piece of this command is already queued
    std::vector<int32_t> params;
    bool inNumber = false;
    bool negative = false;
    bool digits = false;
    bool point = false;
    bool fracSeen = false;
    bool roundUp = false;
    int64_t magnitude = 0;
};

// Feeds one received character; commands completed by it are appended to `done`.
void SimParseChar(SimParser& parser, char c, std::vector<SimCommand>& done);

bool SimIsPairCommand(const SimCommand& command);
bool SimIsCommand(const SimCommand& command, const char* name);

// The command as the board processed it: mnemonic and numbers, no blanks ("PX9876,5432").
// With hex on, numbers are written the way all of the board's output writes them.
std::string SimCommandText(const SimCommand& command, bool hex);

// A number as the board prints it: decimal, or "0x" and lower-case hex digits after the sign.
std::string SimFormatNumber(int64_t value, bool hex);
