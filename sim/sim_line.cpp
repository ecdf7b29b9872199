#include "sim/sim_line.h"

#include <algorithm>

namespace {

constexpr int64_t kUsbFrameUs = 1000;
constexpr int64_t kNever = INT64_MAX;

bool Uart(const SimLine& l) { return l.options.kind == SimLineKind::Uart; }

// How late the PC sees a change of CTS.
int64_t CtsLagUs(const SimLine& l) { return Uart(l) ? kSimCharUs : l.options.statusDelayUs; }

bool BoardCtsAt(const SimLine& l, int64_t atUs) {
    for (auto it = l.ctsChanges.rbegin(); it != l.ctsChanges.rend(); ++it)
        if (it->first <= atUs) return it->second;
    return l.ctsChanges.front().second;
}
bool CtsSeen(const SimLine& l) { return BoardCtsAt(l, l.nowUs - CtsLagUs(l)); }

// The board's CTS after its time has moved: a change is kept with its time; what the PC can
// no longer see is forgotten.
void NoteCts(SimLine& l, const SimBoard& b) {
    const bool cts = SimReadyForInput(b);
    if (l.ctsChanges.back().second != cts) l.ctsChanges.emplace_back(l.nowUs, cts);
    while (l.ctsChanges.size() > 1 && l.ctsChanges[1].first <= l.nowUs - CtsLagUs(l)) l.ctsChanges.pop_front();
}

void MoveTo(SimLine& l, SimBoard& b, int64_t us) {
    l.nowUs = us;
    SimAdvance(b, us / 1000);
    NoteCts(l, b);
}

// The transmitter takes c: it goes on the line when the character before it has gone (the
// board's line model queues it behind that one).
void Deliver(SimLine& l, SimBoard& b, char c) {
    SimReceive(b, &c, 1, l.nowUs / 1000);
    if (l.received) *l.received += c;
    l.txFreeUs = std::max(l.nowUs, l.txFreeUs) + kSimCharUs;
}
// The UART's holding register is free once the character before has begun to shift out.
int64_t HoldingFreeUs(const SimLine& l) { return l.txFreeUs - kSimCharUs; }

bool WritePending(const SimLine& l) { return l.writing && l.writeSent < l.writeText.size(); }
int64_t WriteDeadline(const SimLine& l) {
    return l.writeStartUs + l.options.writeTimeoutPerByteUs * static_cast<int64_t>(l.writeText.size());
}
int64_t FrameEnd(int64_t us) { return (us / kUsbFrameUs + 1) * kUsbFrameUs; }

// Whatever can move on at the present time does.
void Act(SimLine& l, SimBoard& b) {
    if (Uart(l)) {
        if (!WritePending(l)) return;
        if (l.nowUs >= HoldingFreeUs(l) && (!l.ctsFlow || CtsSeen(l))) Deliver(l, b, l.writeText[l.writeSent++]);
        if (WritePending(l) && l.nowUs >= WriteDeadline(l)) l.writing = false;  // timed out
        return;
    }
    if (WritePending(l) && l.nowUs >= FrameEnd(l.writeStartUs)) {
        l.adapterBytes += l.writeText.substr(l.writeSent);
        l.writeSent = l.writeText.size();
    }
    if (!l.adapterBytes.empty() && l.nowUs >= l.txFreeUs && (!l.ctsFlow || SimReadyForInput(b))) {
        Deliver(l, b, l.adapterBytes.front());
        l.adapterBytes.erase(0, 1);
    }
}

// The next time after now at which something can change, kNever when nothing waits.
int64_t NextEvent(const SimLine& l, const SimBoard& b) {
    int64_t next = kNever;
    const auto consider = [&](int64_t at) {
        if (at > l.nowUs && at < next) next = at;
    };
    const int64_t boardMs = SimNextEventMs(b);
    if (boardMs < kNever / 1000) consider(boardMs * 1000);
    if (Uart(l) && WritePending(l)) {
        consider(HoldingFreeUs(l));
        consider(WriteDeadline(l));
        // The PC sees each change of CTS one lag after it happened.
        for (const auto& change : l.ctsChanges) consider(change.first + CtsLagUs(l));
    }
    if (!Uart(l)) {
        if (WritePending(l)) consider(FrameEnd(l.writeStartUs));
        if (!l.adapterBytes.empty()) consider(l.txFreeUs);
    }
    return next;
}

}  // namespace

void SimLineOpen(SimLine& line, SimBoard& board, const SimLineOptions& options, int64_t nowUs) {
    std::string* received = line.received;
    line = SimLine{};
    line.options = options;
    line.received = received;
    line.nowUs = std::max(nowUs, board.nowMs * 1000);
    SimAdvance(board, line.nowUs / 1000);
    line.ctsChanges.emplace_back(line.nowUs, SimReadyForInput(board));
}

void SimLineAdvance(SimLine& l, SimBoard& b, int64_t nowUs) {
    if (nowUs < l.nowUs) nowUs = l.nowUs;
    Act(l, b);
    for (int64_t next; (next = NextEvent(l, b)) <= nowUs;) {
        MoveTo(l, b, next);
        Act(l, b);
    }
    MoveTo(l, b, nowUs);
    Act(l, b);
}

bool SimLineCts(SimLine& line, SimBoard& board, int64_t nowUs) {
    SimLineAdvance(line, board, nowUs);
    return CtsSeen(line);
}

size_t SimLineTransmitQueue(SimLine& line, SimBoard& board, int64_t nowUs) {
    SimLineAdvance(line, board, nowUs);
    return WritePending(line) ? line.writeText.size() - line.writeSent : 0;
}

bool SimLineStartWrite(SimLine& line, SimBoard& board, const std::string& bytes, int64_t nowUs) {
    SimLineAdvance(line, board, nowUs);
    if (WritePending(line)) return false;
    line.writing = true;
    line.writeText = bytes;
    line.writeSent = 0;
    line.writeStartUs = line.nowUs;
    Act(line, board);
    return true;
}

SimWriteStatus SimLineWriteStatus(SimLine& line, SimBoard& board, int64_t nowUs) {
    SimLineAdvance(line, board, nowUs);
    return {WritePending(line), line.writeSent};
}

void SimLineCancelWrite(SimLine& line, SimBoard& board, int64_t nowUs) {
    SimLineAdvance(line, board, nowUs);
    line.writing = false;
}
