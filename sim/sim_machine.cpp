#include "sim/sim_machine.h"

namespace {

int32_t Clamp32(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

int ToolBase(int32_t p) { return 21 + 5 * SimToolIndex(p); }

int64_t Factor(uint8_t value) { return value == 0 ? 1 : value; }

// Time for `units` plotter units at `factor` times the step time. Positions are 32-bit, so
// units < 2^33 and every product below stays far inside 64 bits.
int64_t TravelUs(const SimRegisters& regs, int64_t units, int64_t factor) {
    const int64_t stepUs = int64_t{regs[kSimRegStepTime]} * 128 * ((regs[kSimRegHalfStep] & 1) ? 2 : 1);
    const int64_t steps = units * SimJoinRegisters(regs, kSimRegStepsPer100mm, 2) / 4000;
    const int64_t us = steps * stepUs * factor;
    return us > kSimMaxMoveUs ? kSimMaxMoveUs : us;
}

int64_t MoveZ(SimMachine& m, const SimRegisters& regs, int64_t target) {
    const int32_t z = Clamp32(target);
    const int64_t dz = int64_t{z} - m.z;
    const int base = ToolBase(m.p);
    int64_t factor = 1;
    if (dz > 0 || (regs[base + 2] & 2)) factor = Factor(regs[base]);
    m.z = z;
    return TravelUs(regs, Abs64(dz), factor);
}

// X and Y run together; the longer leg sets the time.
int64_t MoveXY(SimMachine& m, const SimRegisters& regs, int64_t tx, int64_t ty,
               std::vector<SimStroke>* strokes = nullptr) {
    const int32_t x = Clamp32(tx);
    const int32_t y = Clamp32(ty);
    const int64_t dx = Abs64(int64_t{x} - m.x);
    const int64_t dy = Abs64(int64_t{y} - m.y);
    const int64_t factor = m.penDown ? Factor(regs[ToolBase(m.p) + 1]) : 1;
    if (m.penDown && strokes) strokes->push_back({m.x, m.y, x, y, m.p});
    m.x = x;
    m.y = y;
    return TravelUs(regs, dx > dy ? dx : dy, factor);
}

int64_t MovePairs(SimMachine& m, const SimRegisters& regs, const SimCommand& command, std::vector<SimStroke>* strokes) {
    int64_t us = 0;
    for (size_t i = 0; i + 1 < command.params.size(); i += 2) {
        int64_t tx = command.params[i];
        int64_t ty = command.params[i + 1];
        if (m.relative) {
            tx += m.x;
            ty += m.y;
        }
        us += MoveXY(m, regs, tx, ty, strokes);
    }
    return us;
}

int64_t ReferenceRun(SimMachine& m, const SimRegisters& regs) {
    m.penDown = false;
    int64_t us = MoveZ(m, regs, 0);
    return us + MoveXY(m, regs, 0, 0);
}

}  // namespace

int SimToolIndex(int32_t p) { return (p >= 1 && p <= kSimToolCount) ? p : 1; }

int32_t SimToolDepth(const SimRegisters& regs, int32_t p) {
    return static_cast<int32_t>(SimJoinRegisters(regs, ToolBase(p) + 3, 2));
}

int64_t SimMoveMachine(SimMachine& m, const SimRegisters& regs, const SimCommand& command,
                       std::vector<SimStroke>* strokes) {
    if (!command.known) return 0;
    int64_t us = 0;
    const auto& params = command.params;
    if (SimIsCommand(command, "PA") || SimIsCommand(command, "PR")) {
        m.relative = command.name[1] == 'R';
        us = MovePairs(m, regs, command, strokes);
    } else if (SimIsCommand(command, "PU") || SimIsCommand(command, "PD")) {
        if (command.first) {
            m.penDown = command.name[1] == 'D';
            us = MoveZ(m, regs, m.penDown ? SimToolDepth(regs, m.p) : 0);
        }
        us += MovePairs(m, regs, command, strokes);
    } else if (SimIsCommand(command, "SP")) {
        const int32_t tool = params.empty() ? 0 : params[0];
        if (tool >= 0 && tool != m.p) {
            m.penDown = false;
            us = MoveZ(m, regs, 0);
            m.p = tool;
        }
    } else if (SimIsCommand(command, "ZR")) {
        if (!params.empty()) us = MoveZ(m, regs, int64_t{m.z} + params[0]);
    } else if (SimIsCommand(command, "RE")) {
        us = ReferenceRun(m, regs);
    } else if (SimIsCommand(command, "NU")) {
        us = ReferenceRun(m, regs);
        us += MoveXY(m, regs, SimJoinRegisters(regs, kSimRegXZero, 4), SimJoinRegisters(regs, kSimRegXZero + 4, 4));
        us += MoveZ(m, regs, SimJoinRegisters(regs, kSimRegXZero + 8, 4));
    }
    return us > kSimMaxMoveUs ? kSimMaxMoveUs : us;
}
