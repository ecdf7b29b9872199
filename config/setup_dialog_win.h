#pragma once
// The setup dialog: one control per field of the register table, the transfer and file
// buttons, and a status bar whose info line describes the field being worked on.
#include <windows.h>

#include <string>
#include <vector>

#include "config/register_table.h"

namespace ids {

// Setup dialog, besides its fields (the register table's ids) and its buttons (BtnCfg*)
constexpr int LblToolColumns = 1340;
constexpr int FrmTools = 1342;
constexpr int FrmOutput = 1343;
constexpr int FrmMotors = 1344;
constexpr int SetupStatusBar = 1386;

}  // namespace ids

constexpr const char* kSetupDialogCaption = "Setup Controller";
constexpr int kSetupClientWidth = 764;
constexpr int kSetupClientHeight = 376;

enum class SetupKind { TextBox, CheckBox, Label, GroupBox, ImageButton, PushButton, StatusBar };

// One row of the dialog's control table; table order is creation order and tab order.
struct SetupControl {
    int id;
    std::string name;
    SetupKind kind;
    std::string caption;  // a field's caption carries its spec until the specs are loaded
    int resource;         // bitmap of an image button, else 0
    int x, y, w, h;       // pixels of the client area
    DWORD style;          // besides WS_CHILD | WS_VISIBLE
};
const std::vector<SetupControl>& SetupDialogControls();

// True while a setup dialog exists (Ui.SetupDialog is a live window).
bool SetupDialogExists();

// Builds the setup dialog over parent, shown but without a modal loop, and returns it; an
// existing one is returned instead. Ui.SetupDialog holds it afterwards.
HWND CreateSetupDialog(HWND parent);

// The dialog of BtnSetup: an existing one is returned at once; otherwise it is built and runs
// modally over parent, and the call returns once it has closed, with its (now dead) handle.
HWND OpenSetupDialog(HWND parent);

// Moves every control's spec out of its caption into SetupSpecs, in ascending control id.
void LoadFieldSpecs(HWND dialog);

// The info line of control id in the status bar and, for a text box, its range colour. Does
// nothing for a control without a spec.
void ShowFieldInfo(HWND window, int id);

// What the dialog's fields hold now, for every field of SetupSpecs.
FieldInputs CollectFieldInputs(HWND dialog);
// Gives a field its text or check state; a text box's change notification follows.
void SetFieldInput(HWND dialog, int id, const FieldInput& input);

// The main dialog's command actions: BtnSetup, and the setup dialog's buttons but OK.
void OpenSetupCommand(HWND window, int id);
void SetupButtonCommand(HWND window, int id);

// A transfer or file operation of the setup dialog is running. Its buttons do nothing
// meanwhile: two operations would share the RegisterImage, and a second click must not
// start one inside the wait, message box or file dialog of another.
extern bool SetupBusy;

// Marks one operation: entered is false when another one runs, and the caller returns.
struct SetupOperation {
    bool entered;
    SetupOperation() : entered(!SetupBusy) { SetupBusy = true; }
    ~SetupOperation() {
        if (entered) SetupBusy = false;
    }
    SetupOperation(const SetupOperation&) = delete;
    SetupOperation& operator=(const SetupOperation&) = delete;
};
