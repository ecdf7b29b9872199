#pragma once
#include <cstdint>
#include <vector>

#include "sim/sim_parser.h"
#include "sim/sim_registers.h"

// The mechanics: position in plotter units (40 per mm) from the reference point, Z counted
// downwards from the top (0), and the tool (pen) number P.
struct SimMachine {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    int32_t p = 1;  // tool 1 is in the spindle after power-up
    bool penDown = false;
    bool relative = false;  // PR in force (PA switches back)
};

// One pen-down move in plotter units, drawn with pen `pen`.
struct SimStroke {
    int32_t x0, y0, x1, y1;
    int32_t pen;
};

// No single command keeps the motors busy longer than this.
constexpr int64_t kSimMaxMoveUs = 3600LL * 1000 * 1000;

// Carries out a motion command (PA PR PU PD SP ZR RE NU) on `m` and returns how long the
// motors need for it, in microseconds. Other commands leave `m` alone and take no time.
//   PU: Z up to 0, then the pairs.     PD: Z down to the tool's depth, then the pairs.
//   SP n: a different tool is lifted out first (SP alone is SP0).
//   ZR dz: Z by dz, positive is down.  RE: Z up, then to the reference (0,0,0).
//   NU: reference run, then to the zero point of registers 10..21.
// Speeds come from the registers: step time (2), half step (5/0), steps per 100 mm (8..9),
// and while cutting the tool's X/Y factor, for plunging its Z factor (retract as fast
// as the rapid speed unless the tool's bit 1 says as slow as the plunge).
// Every X/Y move made with the pen down is appended to `strokes` when one is given.
int64_t SimMoveMachine(SimMachine& m, const SimRegisters& regs, const SimCommand& command,
                       std::vector<SimStroke>* strokes = nullptr);

// The tool whose table entry applies: P itself for tools 1..9, tool 1 for anything else.
int SimToolIndex(int32_t p);

// The plunge depth of the current tool, registers 21 + 5n + 3 .. + 4.
int32_t SimToolDepth(const SimRegisters& regs, int32_t p);
