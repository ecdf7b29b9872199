#include "app/language_win.h"

#include <windows.h>

#include "app/language.h"
#include "app/settings_win.h"

namespace {

LanguageTable Language;  // user-interface thread only

bool FileExists(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string LocateLanguageFile() {
    const std::string cwd = CurrentDirectory();
    const std::string lang = ReadConfigValue("files", "lang", kDefaultLanguageFile, 256);
    const std::string dir = ReadConfigValue("files", "langdir", DefaultLanguageDir(cwd), 256);
    return LanguageFilePathFor(dir, lang, cwd, FileExists);
}

}  // namespace

std::string Translate(const std::string& text) { return TranslateIn(Language, text, LocateLanguageFile); }
