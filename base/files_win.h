#pragma once
// Files, folders and the common file dialogs.
#include <windows.h>

#include <string>

// True when path names an existing file (not a folder).
bool FileExists(const std::string& path);

// The process's current directory, never with a trailing backslash ("C:" for a drive's root):
// callers append "\name".
std::string CurrentDirectory();

// The open or save dialog of a file. Owned by the main dialog, explorer style, without the
// read-only box, and it leaves the current directory as it was.
struct FileDialog {
    bool save = false;
    const char* title = "";
    std::string filter;      // pairs of name and pattern, each ended by '\0'
    std::string initialDir;  // empty: the system's choice
    std::string fileName;    // preset in the name box
    const char* defaultExtension = nullptr;
    bool mustExist = false;  // open only: the name must be an existing file
};
// The chosen path, or empty when the user cancelled.
std::string AskFileName(const FileDialog& d);
