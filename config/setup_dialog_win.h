#pragma once
// The setup dialog: one control per field of the register table, the transfer and file
// buttons, and a status bar whose info line describes the field being worked on.
#include <windows.h>

#include <string>
#include <vector>

#include "base/controls_win.h"
#include "config/register_table.h"
#include "config/setup_fields_win.h"

constexpr const char* kSetupDialogCaption = "Setup Controller";
constexpr int kSetupClientWidth = 764;
constexpr int kSetupClientHeight = 376;

// The dialog's control table; a field's caption carries its spec until the specs are loaded.
const std::vector<ControlSpec>& SetupDialogControls();

// Builds the setup dialog over parent, shown but without a modal loop, and returns it; an
// existing one is returned instead. Ui.SetupDialog holds it afterwards.
HWND CreateSetupDialog(HWND parent);

// The dialog of BtnSetup: an existing one is returned at once; otherwise it is built and runs
// modally over parent, and the call returns once it has closed, with its (now dead) handle.
HWND OpenSetupDialog(HWND parent);

// Moves every control's spec out of its caption into SetupSpecs, in ascending control id.
void LoadFieldSpecs(HWND dialog);

// The main dialog's command actions: BtnSetup, and the setup dialog's buttons but OK.
void OpenSetup(HWND window, int id);
void RunSetupButton(HWND window, int id);
