#pragma once
// The setup dialog's fields as the transfers and the configuration files use them: what they
// hold, how they are set, the info line, and the mark of a running operation.
#include <windows.h>

#include "config/register_table.h"

// True while a setup dialog exists (Ui.SetupDialog is a live window).
bool SetupDialogExists();

// The info line of control id in the status bar and, for a text box, its range color. Does
// nothing for a control without a spec.
void ShowFieldInfo(HWND window, int id);

// What the dialog's fields hold now, for every field of SetupSpecs.
FieldInputs CollectFieldInputs(HWND dialog);
// Gives a field its text or check state; a text box's change notification follows.
void SetFieldInput(HWND dialog, int id, const FieldInput& input);

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
