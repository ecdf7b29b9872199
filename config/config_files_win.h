#pragma once
// The setup dialog's configuration files ("*.cfg", section "CO") and the dispatcher of its
// file-related buttons. Every operation first settles ControllerFilePath: "default.cfg" in
// the current directory until a file has been chosen.
#include <windows.h>

enum ConfigFileOperations : int {
    OperationLoad = 1,
    OperationSave = 2,
    OperationSaveAs = 3,
    OperationFactoryReset = 4,
};

// Runs one of the four operations for the setup dialog.
void ConfigFileOperation(HWND dialog, int operation);

// Asks for a file and fills every field from it; a key the file lacks empties its text box or
// clears its check box.
void LoadConfigFile(HWND dialog);
// Writes the fields into ControllerFilePath and says so, or says that it could not.
void SaveConfigFile(HWND dialog);
// Asks for a file first, then saves as SaveConfigFile does.
void SaveConfigFileAs(HWND dialog);
