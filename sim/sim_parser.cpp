#include "sim/sim_parser.h"

#include <cstring>

#include "base/text.h"

// Grammar the board accepts, one character at a time:
//   line     = command { ";" command } ( CR | LF )
//   command  = { blank } [ name params ]          empty commands are skipped
//   name     = letter letter                      either case
//   params   = { number | "," | blank }           "PA 10 , 20" = "PA10,20"
//   number   = [ "+" | "-" ] digits [ "." digits ] | [ "+" | "-" ] "." digits
// Numbers are rounded half away from zero and clamped to 32 bits; a sign or point without
// digits is no number. A letter after the parameters starts the next command without
// ";" ("PU0,0PD10,10"), as HPGL allows. A name the board does not know is accepted and
// everything after it up to the terminator is ignored (IN, VS, LT, LB text). A known
// command with any other character among its parameters is dropped whole.

namespace {

const char* const kKnownNames[] = {"PA", "PR", "PU", "PD", "SP", "ZR", "RE", "NU", "PX"};

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsTerminator(char c) { return c == ';' || c == '\r' || c == '\n'; }

bool IsPairName(const char* name) {
    return name[0] == 'P' && (name[1] == 'A' || name[1] == 'R' || name[1] == 'U' || name[1] == 'D');
}

void ResetNumber(SimParser& p) {
    p.inNumber = p.negative = p.digits = p.point = p.fracSeen = p.roundUp = false;
    p.magnitude = 0;
}

void ResetCommand(SimParser& p, SimParseState next) {
    ResetNumber(p);
    p.params.clear();
    p.continued = false;
    p.state = next;
}

void Emit(SimParser& p, bool last, std::vector<SimCommand>& done) {
    SimCommand c;
    std::memcpy(c.name, p.name, sizeof c.name);
    c.known = p.known;
    c.first = !p.continued;
    c.last = last;
    c.params.swap(p.params);
    p.params.clear();
    p.continued = !last;
    done.push_back(std::move(c));
}

void EndNumber(SimParser& p, std::vector<SimCommand>& done) {
    if (!p.inNumber) return;
    const bool isNumber = p.digits || p.fracSeen;
    int64_t v = p.magnitude + (p.roundUp ? 1 : 0);
    if (v > INT32_MAX) v = INT32_MAX;
    if (p.negative) v = -v;
    ResetNumber(p);
    if (!isNumber) return;
    if (IsPairName(p.name)) {
        if (p.params.size() >= kSimMaxPairParams) Emit(p, false, done);
        p.params.push_back(static_cast<int32_t>(v));
    } else if (p.params.size() < kSimMaxOtherParams) {
        p.params.push_back(static_cast<int32_t>(v));
    }
}

void EndCommand(SimParser& p, std::vector<SimCommand>& done, SimParseState next) {
    if (p.state == SimParseState::Params) {
        EndNumber(p, done);
        Emit(p, true, done);
    } else if (p.state == SimParseState::Ignore) {
        p.params.clear();
        Emit(p, true, done);
    }
    ResetCommand(p, next);
}

void StartName(SimParser& p, char c) {
    p.name[0] = UpperAscii(c);
    p.name[1] = 0;
    p.state = SimParseState::SecondLetter;
}

void ParseParamChar(SimParser& p, char c, std::vector<SimCommand>& done) {
    if (IsDigit(c)) {
        p.inNumber = true;
        if (p.point) {
            if (!p.fracSeen) p.roundUp = c >= '5';
            p.fracSeen = true;
        } else {
            p.digits = true;
            if (p.magnitude <= INT32_MAX) p.magnitude = p.magnitude * 10 + (c - '0');
        }
    } else if (c == '-' || c == '+') {
        if (p.inNumber && !p.digits && !p.fracSeen) {
            ResetCommand(p, SimParseState::Garbage);
            return;
        }
        EndNumber(p, done);  // "10-5" is two numbers
        p.inNumber = true;
        p.negative = c == '-';
    } else if (c == '.') {
        if (p.point) {
            ResetCommand(p, SimParseState::Garbage);
            return;
        }
        p.inNumber = true;
        p.point = true;
    } else if (c == ',' || IsBlank(c)) {
        EndNumber(p, done);
    } else if (IsLetter(c)) {
        EndCommand(p, done, SimParseState::Idle);
        StartName(p, c);
    } else {
        ResetCommand(p, SimParseState::Garbage);
    }
}

}  // namespace

void SimParseChar(SimParser& p, char c, std::vector<SimCommand>& done) {
    if (IsTerminator(c)) {
        EndCommand(p, done, SimParseState::Idle);
        return;
    }
    switch (p.state) {
        case SimParseState::Idle:
            if (IsBlank(c)) return;
            if (IsLetter(c)) {
                StartName(p, c);
            } else {
                p.state = SimParseState::Garbage;
            }
            return;
        case SimParseState::SecondLetter:
            if (!IsLetter(c)) {
                p.state = SimParseState::Garbage;
                return;
            }
            p.name[1] = UpperAscii(c);
            p.known = false;
            for (const char* known : kKnownNames) p.known = p.known || std::strcmp(known, p.name) == 0;
            ResetNumber(p);
            p.params.clear();
            p.continued = false;
            p.state = p.known ? SimParseState::Params : SimParseState::Ignore;
            return;
        case SimParseState::Params: ParseParamChar(p, c, done); return;
        case SimParseState::Ignore:
        case SimParseState::Garbage: return;
    }
}

bool SimIsPairCommand(const SimCommand& command) { return command.known && IsPairName(command.name); }

bool SimIsCommand(const SimCommand& command, const char* name) {
    return command.known && std::strcmp(command.name, name) == 0;
}

std::string SimCommandText(const SimCommand& command, bool hex) {
    std::string text = command.name;
    for (size_t i = 0; i < command.params.size(); ++i) {
        if (i > 0) text += ',';
        text += SimFormatNumber(command.params[i], hex);
    }
    return text;
}

std::string SimFormatNumber(int64_t value, bool hex) {
    if (!hex) return std::to_string(value);
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[magnitude & 0xF]);
        magnitude >>= 4;
    } while (magnitude != 0);
    return (value < 0 ? "-0x" : "0x") + digits;
}
