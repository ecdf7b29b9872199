#include "config/config_files_win.h"

#include <commdlg.h>

#include <string>

#include "base/files_win.h"
#include "base/paths.h"
#include "base/shell_windows_win.h"
#include "config/config_file.h"
#include "config/register_transfer_win.h"
#include "config/setup_fields_win.h"

namespace {

void SettleControllerFilePath() {
    ControllerFilePath = ResolveControllerFilePath(ControllerFilePath, CurrentDirectory());
}

// The open or save dialog, preset to ControllerFilePath's folder and name. False when the
// user cancels.
bool AskControllerFileName(bool save, std::string& chosen) {
    const std::string name = FileNamePart(ControllerFilePath, "\\:");
    FileDialog d;
    d.save = save;
    d.title = save ? kSaveDialogTitle : kLoadDialogTitle;
    d.filter = std::string(kConfigExtension) + '\0' + kConfigFilterPattern + '\0';
    d.initialDir = ControllerFilePath.substr(0, ControllerFilePath.size() - name.size());
    d.fileName = name;
    d.defaultExtension = kConfigExtension;
    // A mistyped name would otherwise load as an empty file and clear every field.
    d.mustExist = true;
    chosen = AskFileName(d);
    return !chosen.empty();
}

bool ReplaceWith(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Writes the fields into ControllerFilePath and says so, or says that it could not. The fields
// are those of a live dialog only: one closed while a file dialog was open has none.
void SaveFields(HWND dialog) {
    if (!IsWindow(dialog)) return;
    const bool saved =
        WriteConfigFile(ControllerFilePath, ConfigEntries(SetupSpecs, CollectFieldInputs(dialog)), ReplaceWith);
    if (saved) {
        MessageBoxA(Ui.MainDialog, ControllerFilePath.c_str(), kSavedTitle, MB_OK | MB_TASKMODAL);
    } else {
        MessageBoxA(Ui.MainDialog, SaveFailedMessage(ControllerFilePath).c_str(), kSaveFailedTitle,
                    MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

// Asks for a file and fills every field from it; a key the file lacks empties its text box or
// clears its check box.
void LoadConfigFile(HWND dialog) {
    std::string chosen;
    if (!AskControllerFileName(false, chosen) || !IsWindow(dialog)) return;
    ControllerFilePath = chosen;
    std::string text;
    const ConfigRead read = ReadConfigFile(ControllerFilePath, text);
    if (read != ConfigRead::Ok) {
        // What the user typed is kept: a file that cannot be read is not an empty file.
        MessageBoxA(Ui.MainDialog, LoadFailedMessage(read, ControllerFilePath).c_str(), kLoadFailedTitle,
                    MB_OK | MB_ICONERROR | MB_TASKMODAL);
        return;
    }
    for (const auto& [id, input] : FieldsFromConfigText(SetupSpecs, text)) SetFieldInput(dialog, id, input);
}

// Asks for a file first, then saves there.
void SaveConfigFileAs(HWND dialog) {
    std::string chosen;
    if (!AskControllerFileName(true, chosen) || !IsWindow(dialog)) return;
    ControllerFilePath = chosen;
    SaveFields(dialog);
}

}  // namespace

void RunConfigFileOperation(HWND dialog, ConfigFileOperation operation) {
    SetupOperation running;
    if (!running.entered) return;
    SettleControllerFilePath();
    switch (operation) {
        case ConfigFileOperation::Load: LoadConfigFile(dialog); break;
        case ConfigFileOperation::Save: SaveFields(dialog); break;
        case ConfigFileOperation::SaveAs: SaveConfigFileAs(dialog); break;
        case ConfigFileOperation::FactoryReset: FactoryReset(); break;
    }
}
