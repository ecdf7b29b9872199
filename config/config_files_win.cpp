#include "config/config_files_win.h"

#include <commdlg.h>

#include <string>

#include "app/main_dialog_win.h"
#include "config/config_file.h"
#include "config/register_transfer_win.h"
#include "config/setup_dialog_win.h"

namespace {

constexpr size_t kFileNameBuffer = 1024;

std::string CurrentDirectory() {
    const DWORD need = GetCurrentDirectoryA(0, nullptr);
    if (need == 0) return {};
    std::string dir(need, '\0');
    const DWORD got = GetCurrentDirectoryA(need, &dir[0]);
    dir.resize(got < need ? got : 0);
    return dir;
}

void SettleControllerFilePath() {
    ControllerFilePath = ResolveControllerFilePath(ControllerFilePath, CurrentDirectory());
}

// The folder of a path with its last "\" (or the drive's ":"), where the file dialogs open.
std::string FolderPart(const std::string& path) {
    const size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The open or save dialog, preset to ControllerFilePath. False when the user cancels.
bool AskFileName(bool save, std::string& chosen) {
    std::string file = FileNamePart(ControllerFilePath);
    file.resize(kFileNameBuffer, '\0');
    const std::string folder = FolderPart(ControllerFilePath);
    std::string filter = kConfigExtension;
    filter += '\0';
    filter += kConfigFilterPattern;
    filter += '\0';

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Ui.mainDialog;
    ofn.lpstrFilter = filter.c_str();  // c_str() adds the closing second NUL
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = &file[0];
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = save ? kSaveDialogTitle : kLoadDialogTitle;
    ofn.lpstrDefExt = kConfigExtension;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // A mistyped name would otherwise load as an empty file and clear every field.
    if (!save) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!(save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn))) return false;
    chosen = file.c_str();
    return !chosen.empty();
}

void SaveFields(HWND dialog) {
    const bool saved = WriteConfigFile(ControllerFilePath, ConfigEntries(SetupSpecs, CollectFieldInputs(dialog)));
    if (saved) {
        MessageBoxA(Ui.mainDialog, ControllerFilePath.c_str(), kSavedTitle, MB_OK | MB_TASKMODAL);
    } else {
        MessageBoxA(Ui.mainDialog, SaveFailedMessage(ControllerFilePath).c_str(), kSaveFailedTitle,
                    MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
}

}  // namespace

void LoadConfigFile(HWND dialog) {
    SetupOperation operation;
    if (!operation.entered) return;
    SettleControllerFilePath();
    std::string chosen;
    if (!AskFileName(false, chosen)) return;
    ControllerFilePath = chosen;
    std::string text;
    ReadConfigFile(ControllerFilePath, text);  // an unreadable file reads as empty
    for (const auto& [id, input] : FieldsFromConfigText(SetupSpecs, text)) SetFieldInput(dialog, id, input);
}

void SaveConfigFile(HWND dialog) {
    SetupOperation operation;
    if (!operation.entered) return;
    SettleControllerFilePath();
    SaveFields(dialog);
}

void SaveConfigFileAs(HWND dialog) {
    SetupOperation operation;
    if (!operation.entered) return;
    SettleControllerFilePath();
    std::string chosen;
    if (!AskFileName(true, chosen)) return;
    ControllerFilePath = chosen;
    SaveFields(dialog);
}

void ConfigFileOperation(HWND dialog, int operation) {
    switch (operation) {
        case OperationLoad: LoadConfigFile(dialog); break;
        case OperationSave: SaveConfigFile(dialog); break;
        case OperationSaveAs: SaveConfigFileAs(dialog); break;
        case OperationFactoryReset: {
            SetupOperation running;
            if (!running.entered) return;
            SettleControllerFilePath();
            FactoryReset();
            break;
        }
        default: break;
    }
}
