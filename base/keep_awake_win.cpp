#include "base/keep_awake_win.h"

EXECUTION_STATE(WINAPI* SetExecutionState)(EXECUTION_STATE) = SetThreadExecutionState;

namespace {
int Holders = 0;
}  // namespace

KeepAwake::KeepAwake() {
    if (Holders++ == 0) SetExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
}

void KeepAwake::Release() {
    if (!held) return;
    held = false;
    if (--Holders == 0) SetExecutionState(ES_CONTINUOUS);
}
