#include "sim/sim_board.h"

#include <utility>

namespace {

// The line is timed in sixths of a microsecond, in which one character (start bit, 8 data
// bits, stop bit at 19200 baud) takes exactly 3125.
constexpr int64_t kTicksPerMs = 6000;
constexpr int64_t kTicksPerChar = kTicksPerMs * 1000 * 10 / kSimBaud;
// About 35 years: keeps every time in ticks far inside 64 bits whatever clock we are given.
constexpr int64_t kMaxTimeMs = int64_t{1} << 40;

// What the board reports for the spindle motor and the potentiometer: plausible constants.
constexpr int kSpindleCurrentCutting = 850;
constexpr int kPotentiometer = 512;

int64_t CeilMs(int64_t ticks) { return (ticks + kTicksPerMs - 1) / kTicksPerMs; }

void Append(std::string& to, const std::string& text, uint64_t& lost) {
    if (to.size() + text.size() > kSimMaxPending) {
        lost += text.size();
        return;
    }
    to += text;
}

bool Hex(const SimBoard& b) { return (b.registers[kSimRegOutput] & 0x01) != 0; }
bool DebugOnly(const SimBoard& b) { return (b.registers[kSimRegOutput] & 0x40) != 0; }

std::string Number(const SimBoard& b, int64_t value) { return SimFormatNumber(value, Hex(b)); }

void Say(SimBoard& b, const std::string& line) { Append(b.output, line + "\r\n", b.lostOutput); }

void SayPosition(SimBoard& b) {
    const SimMachine& m = b.machine;
    Say(b, "XYZP=" + Number(b, m.x) + "/" + Number(b, m.y) + "/" + Number(b, m.z) + "/" + Number(b, m.p));
}

void Store(SimBoard& b) {
    b.stored = b.registers;
    if (!b.statePath.empty() && !SimWriteStateFile(b.statePath, b.stored)) ++b.stateFileErrors;
}

// "PX0," n reads register n; "PX9876," code runs a command; "PX" n "," v writes a register.
void RegisterCommand(SimBoard& b, const SimCommand& c) {
    if (c.params.size() < 2) return;
    const int32_t target = c.params[0];
    const int32_t value = c.params[1];
    if (target == 0) {
        if (value < 0 || value >= kSimRegisterCount) return;
        int64_t content = b.registers[value];
        if (value == 0) content = kSimBoardId;
        if (value == kSimCommandRegister) content = 0;
        Say(b, "Register " + std::to_string(value) + "=" + Number(b, content));
    } else if (target == kSimCommandRegister) {
        if (value == kSimCodePosition) {
            SayPosition(b);
        } else if (value == kSimCodeStore) {
            Store(b);
        } else if (value == kSimCodeFactoryReset) {
            SimFactoryRegisters(b.registers);
            Store(b);
        }
    } else if (target > 0 && target < kSimRegisterCount) {
        b.registers[target] = SimLowByte(value);
    }
}

void EchoBlock(SimBoard& b) {
    const uint8_t echo = b.registers[kSimRegEcho];
    if (echo & 0x02) SayPosition(b);
    if (echo & 0x04) Say(b, "I=" + Number(b, (b.machine.penDown && b.machine.z > 0) ? kSpindleCurrentCutting : 0));
    if (echo & 0x08) Say(b, "POT=" + Number(b, kPotentiometer));
    if (echo & 0x10) Say(b, "CNT=" + Number(b, ++b.echoCounter));
    if (echo & 0x01) Say(b, "OK");
}

void StartCommand(SimBoard& b, SimCommand& c, int64_t startMs) {
    c.started = true;
    c.startMs = startMs;
    if (b.registers[kSimRegOutput] & 0x80) Say(b, ">" + SimCommandText(c, Hex(b)));
    c.durationMs = 0;
    if (b.pacing && !DebugOnly(b)) {
        SimMachine trial = b.machine;
        c.durationMs = (SimMoveMachine(trial, b.registers, c) + 999) / 1000;
    }
}

void FinishCommand(SimBoard& b, const SimCommand& c) {
    if (!DebugOnly(b)) SimMoveMachine(b.machine, b.registers, c, b.keepDrawing ? &b.drawing : nullptr);
    if (b.drawing.size() > kSimMaxStrokes) {
        b.lostStrokes += b.drawing.size() - kSimMaxStrokes;
        b.drawing.resize(kSimMaxStrokes);
    }
    if (SimIsCommand(c, "PX")) RegisterCommand(b, c);
    const SimMachine& m = b.machine;
    Append(b.log,
           SimCommandText(c, false) + "\tX=" + std::to_string(m.x) + " Y=" + std::to_string(m.y) +
               " Z=" + std::to_string(m.z) + " P=" + std::to_string(m.p) + "\n",
           b.lostOutput);
    if (c.last) EchoBlock(b);
}

// Starts and finishes queued commands, one after the other, up to nowMs.
void RunMachine(SimBoard& b, int64_t nowMs) {
    while (!b.queue.empty()) {
        SimCommand& front = b.queue.front();
        if (!front.started) {
            const int64_t start = front.arrivalMs > b.machineFreeMs ? front.arrivalMs : b.machineFreeMs;
            if (start > nowMs) break;
            StartCommand(b, front, start);
        }
        const int64_t done = front.startMs + front.durationMs;
        if (done > nowMs) break;
        SimCommand command = std::move(front);
        b.queue.pop_front();
        b.queuedChars -= command.chars;
        b.machineFreeMs = done;
        FinishCommand(b, command);
    }
}

// Nothing can hold a sender without a handshake line, and the buffer must not overflow:
// the machine completes everything it holds now, as if its moves took no time.
void FinishMovesInHand(SimBoard& b, int64_t atMs) {
    while (!b.queue.empty()) {
        SimCommand command = std::move(b.queue.front());
        b.queue.pop_front();
        if (!command.started) StartCommand(b, command, atMs);
        b.queuedChars -= command.chars;
        FinishCommand(b, command);
    }
    b.machineFreeMs = atMs;
}

// One character has crossed the line into the board.
void DeliverChar(SimBoard& b, char c, int64_t atMs) {
    if (b.pacing && !b.ctsLine && b.queuedChars + b.partialChars >= kSimInputBuffer) FinishMovesInHand(b, atMs);
    if (b.registers[kSimRegOutput] & 0x10) Append(b.output, std::string(1, c), b.lostOutput);
    ++b.partialChars;
    std::vector<SimCommand> done;
    SimParseChar(b.parser, c, done);
    for (SimCommand& command : done) {
        command.chars = b.partialChars;
        command.arrivalMs = atMs;
        b.partialChars = 0;
        b.queuedChars += command.chars;
        b.queue.push_back(std::move(command));
    }
    if (c == ';' || c == '\r' || c == '\n') b.partialChars = 0;
    if (!b.pacing) RunMachine(b, atMs);
}

int64_t ClampTime(const SimBoard& b, int64_t nowMs) {
    if (nowMs < b.nowMs) nowMs = b.nowMs;
    return nowMs > kMaxTimeMs ? kMaxTimeMs : nowMs;
}

}  // namespace

void SimInit(SimBoard& board, bool pacing, const std::string& statePath, int64_t nowMs) {
    SimBoard fresh;
    board = std::move(fresh);
    board.pacing = pacing;
    board.statePath = statePath;
    board.nowMs = ClampTime(board, nowMs);
    board.lineFreeTicks = board.nowMs * kTicksPerMs;
    board.machineFreeMs = board.nowMs;
    if (statePath.empty() || !SimReadStateFile(statePath, board.registers)) SimFactoryRegisters(board.registers);
    board.stored = board.registers;
}

void SimPowerCycle(SimBoard& board, int64_t nowMs) {
    SimBoard fresh;
    fresh.pacing = board.pacing;
    fresh.ctsLine = board.ctsLine;
    fresh.keepDrawing = board.keepDrawing;
    fresh.drawing = std::move(board.drawing);
    fresh.lostStrokes = board.lostStrokes;
    fresh.statePath = board.statePath;
    fresh.registers = board.stored;
    fresh.stored = board.stored;
    fresh.nowMs = ClampTime(board, nowMs);
    fresh.lineFreeTicks = fresh.nowMs * kTicksPerMs;
    fresh.machineFreeMs = fresh.nowMs;
    fresh.output = std::move(board.output);
    fresh.log = std::move(board.log);
    fresh.lostInput = board.lostInput;
    fresh.lostOutput = board.lostOutput;
    fresh.stateFileErrors = board.stateFileErrors;
    board = std::move(fresh);
}

void SimAdvance(SimBoard& b, int64_t nowMs) {
    nowMs = ClampTime(b, nowMs);
    b.nowMs = nowMs;
    const int64_t nowTicks = nowMs * kTicksPerMs;
    while (b.linePos < b.lineText.size()) {
        const int64_t arrives = b.lineFreeTicks + kTicksPerChar;
        if (arrives > nowTicks) break;
        const int64_t atMs = CeilMs(arrives);
        RunMachine(b, atMs);
        if (b.queuedChars >= kSimMaxQueuedChars) {
            RunMachine(b, nowMs);
            if (b.queuedChars >= kSimMaxQueuedChars) {
                // The board holds the line: the next character starts once there is room.
                b.lineFreeTicks = nowTicks;
                break;
            }
        }
        b.lineFreeTicks = arrives;
        DeliverChar(b, b.lineText[b.linePos++], atMs);
    }
    if (b.linePos == b.lineText.size()) {
        b.lineText.clear();
        b.linePos = 0;
    } else if (b.linePos > 4096 && b.linePos * 2 > b.lineText.size()) {
        b.lineText.erase(0, b.linePos);
        b.linePos = 0;
    }
    RunMachine(b, nowMs);
}

void SimCatchUpLine(SimBoard& b, size_t keep) {
    if (SimLineBacklog(b) <= keep) return;
    while (SimLineBacklog(b) > keep) DeliverChar(b, b.lineText[b.linePos++], b.nowMs);
    // The rest follows at line speed from now.
    if (b.lineFreeTicks < b.nowMs * kTicksPerMs) b.lineFreeTicks = b.nowMs * kTicksPerMs;
}

void SimReceive(SimBoard& b, const char* data, size_t n, int64_t nowMs) {
    SimAdvance(b, nowMs);
    if (!b.pacing) {
        for (size_t i = 0; i < n; ++i) DeliverChar(b, data[i], b.nowMs);
        return;
    }
    // An idle line starts on the first new character now, not when it last fell silent.
    if (b.linePos == b.lineText.size() && b.lineFreeTicks < b.nowMs * kTicksPerMs) {
        b.lineFreeTicks = b.nowMs * kTicksPerMs;
    }
    const size_t room = kSimMaxLineBacklog - SimLineBacklog(b);
    const size_t taken = n < room ? n : room;
    b.lineText.append(data, taken);
    b.lostInput += n - taken;
}

std::string SimTakeOutput(SimBoard& board) {
    std::string out;
    out.swap(board.output);
    return out;
}

std::string SimTakeLog(SimBoard& board) {
    std::string out;
    out.swap(board.log);
    return out;
}

bool SimReadyForInput(const SimBoard& board) { return !board.pacing || board.queuedChars < kSimInputBuffer; }

size_t SimLineBacklog(const SimBoard& board) { return board.lineText.size() - board.linePos; }

bool SimIdle(const SimBoard& board) { return SimLineBacklog(board) == 0 && board.queue.empty(); }

int64_t SimNextEventMs(const SimBoard& board) {
    int64_t next = INT64_MAX;
    if (SimLineBacklog(board) > 0) next = CeilMs(board.lineFreeTicks + kTicksPerChar);
    if (!board.queue.empty()) {
        const SimCommand& front = board.queue.front();
        int64_t at = front.started ? front.startMs + front.durationMs
                                   : (front.arrivalMs > board.machineFreeMs ? front.arrivalMs : board.machineFreeMs);
        if (at < next) next = at;
    }
    return next;
}
