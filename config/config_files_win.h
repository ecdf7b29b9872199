#pragma once
// The setup dialog's configuration files ("*.cfg", section "CO") and the dispatcher of its
// file-related buttons. ControllerFilePath is "default.cfg" in the current directory until a
// file has been chosen.
#include <windows.h>

// The setup dialog's file buttons and the factory reset, which shares their start: the
// numbers are the operations' own.
enum class ConfigFileOperation { Load = 1, Save = 2, SaveAs = 3, FactoryReset = 4 };

// Runs one operation for the setup dialog, unless another runs: ControllerFilePath is settled
// first, for all four alike.
void RunConfigFileOperation(HWND dialog, ConfigFileOperation operation);
