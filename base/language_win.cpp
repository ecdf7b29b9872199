#include "base/language_win.h"

#include <windows.h>

#include "base/files_win.h"
#include "base/language.h"
#include "base/settings_win.h"

namespace {

LanguageTable Language;  // user-interface thread only

std::string LocateLanguageFile() {
    const std::string cwd = CurrentDirectory();
    const std::string lang = ReadConfigValue("files", "lang", kDefaultLanguageFile, 256);
    const std::string dir = ReadConfigValue("files", "langdir", DefaultLanguageDir(cwd), 256);
    return LanguageFilePathFor(dir, lang, cwd, FileExists);
}

}  // namespace

std::string Translate(const std::string& text) { return TranslateIn(Language, text, LocateLanguageFile); }
