#include "base/files_win.h"

#include <commdlg.h>

#include "base/shell_windows_win.h"

namespace {
constexpr size_t kFileNameBuffer = 1024;
}

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string CurrentDirectory() {
    const DWORD need = GetCurrentDirectoryA(0, nullptr);
    if (need == 0) return ".";
    std::string dir(need, '\0');
    const DWORD got = GetCurrentDirectoryA(need, &dir[0]);
    if (got == 0 || got >= need) return ".";
    dir.resize(got);
    // A drive's root comes back as "C:\".
    if (dir.size() > 1 && dir.back() == '\\') dir.pop_back();
    return dir;
}

std::string AskFileName(const FileDialog& d) {
    std::string file = d.fileName;
    file.resize(kFileNameBuffer, '\0');
    const std::string filter = d.filter + '\0';  // the list ends with an empty pair

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Ui.MainDialog;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = &file[0];
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = d.initialDir.empty() ? nullptr : d.initialDir.c_str();
    ofn.lpstrTitle = d.title;
    ofn.lpstrDefExt = d.defaultExtension;
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (d.mustExist && !d.save) ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!(d.save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn))) return {};
    return file.c_str();
}
