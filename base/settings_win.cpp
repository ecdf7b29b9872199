#include "base/settings_win.h"

#include <shlobj.h>

#include <cstring>
#include <vector>

#include "base/files_win.h"
#include "base/process_state.h"
#include "base/settings.h"

namespace {

constexpr const char* kProfileSection = "KTXPLT";

// Where win.ini's values go when win.ini refuses them.
std::string UserProfileKey() { return "Software\\" + ProgramBaseName(ProgramPath()) + "\\" + kProfileSection; }

std::string ReadIniValue(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& defaultValue, int size) {
    // An empty name would mean win.ini to the profile functions.
    if (file.empty()) return defaultValue;
    std::vector<char> buf(size > 1 ? size : 2, '\0');
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buf.data(),
                                             static_cast<DWORD>(buf.size()), file.c_str());
    return std::string(buf.data(), n);
}

// The REG_SZ value valueName of root\keyName, whole; false when there is none.
bool ReadRegistryText(HKEY root, const std::string& keyName, const std::string& valueName, std::string& text) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, bytes = 0;
    LONG rc = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &bytes);
    std::vector<char> buf(bytes + 1, '\0');
    if (rc == ERROR_SUCCESS)
        rc = RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
    text.assign(buf.data(), strnlen(buf.data(), bytes));
    return true;
}

}  // namespace

std::string ProgramPath() {
    char buf[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n < MAX_PATH ? n : MAX_PATH);
}

std::string ReadProfileValue(const std::string& key, const std::string& defaultValue) {
    std::string value;
    if (ReadRegistryText(HKEY_CURRENT_USER, UserProfileKey(), key, value)) return value.substr(0, 256);
    char buf[257] = {};
    const DWORD n = GetProfileStringA(kProfileSection, key.c_str(), defaultValue.c_str(), buf, sizeof buf);
    return std::string(buf, n);
}

void WriteProfileValue(const std::string& key, const std::string& value) {
    if (WriteProfileStringA(kProfileSection, key.c_str(), value.c_str()))
        RegDeleteKeyValueA(HKEY_CURRENT_USER, UserProfileKey().c_str(), key.c_str());
    else
        WriteRegistryValueUnder(HKEY_CURRENT_USER, UserProfileKey(), key, value);
}

std::string ReadConfigValue(const std::string& section, const std::string& key, const std::string& defaultValue,
                            int size) {
    const std::string own = ReadIniValue(ConfigFile(), section, key, defaultValue, size);
    // The user's file holds a value only while the program's own file refused it.
    return ReadIniValue(UserConfigFile(), section, key, own, size);
}

bool WriteConfigValue(const std::string& section, const std::string& key, const std::string& value) {
    const std::string user = UserConfigFile();
    if (WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), ConfigFile().c_str())) {
        // Checked first: removing a key from a missing file must not create it.
        if (!user.empty() && FileExists(user))
            WritePrivateProfileStringA(section.c_str(), key.c_str(), nullptr, user.c_str());
        return true;
    }
    if (user.empty()) return false;
    CreateDirectoryA(UserFolder().c_str(), nullptr);
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), user.c_str()) != 0;
}

std::string UserFolder() {
    char appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData))) return "";
    return std::string(appData) + "\\KT4180";
}

std::string UserConfigFile() {
    const std::string folder = UserFolder();
    return folder.empty() ? "" : folder + "\\" + ProgramBaseName(ProgramPath()) + ".cfg";
}

const std::string& ConfigFile() {
    if (App.ConfigFilePath.empty()) App.ConfigFilePath = ConfigPathForProgram(ProgramPath());
    return App.ConfigFilePath;
}

bool WriteRegistryValueUnder(HKEY root, const std::string& keyName, const std::string& valueName,
                             const std::string& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, keyName.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    // The byte count leaves out the terminating zero; the registry adds it when read back.
    const LONG rc = RegSetValueExA(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>(text.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

void WriteRegistryValue(const std::string& subPath, const std::string& valueName, const std::string& text,
                        const std::string& programPath) {
    const std::string keyName = RegistryKeyName(programPath.empty() ? ProgramPath() : programPath, subPath);
    WriteRegistryValueWithFallback(HKEY_CLASSES_ROOT, keyName, valueName, text);
}

void WriteRegistryValueWithFallback(HKEY classesRoot, const std::string& keyName, const std::string& valueName,
                                    const std::string& text) {
    if (WriteRegistryValueUnder(classesRoot, keyName, valueName, text)) return;
    WriteRegistryValueUnder(HKEY_CURRENT_USER, "Software\\Classes\\" + keyName, valueName, text);
}

std::string ReadRegistryValue(const std::string& subPath, const std::string& valueName, const std::string& defaultValue,
                              int size, const std::string& programPath) {
    const std::string keyName = RegistryKeyName(programPath.empty() ? ProgramPath() : programPath, subPath);
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_CLASSES_ROOT, keyName.c_str(), &key) != ERROR_SUCCESS) return defaultValue;
    std::vector<char> buf(size > 1 ? size : 2, ' ');
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(buf.size());
    const LONG rc =
        RegQueryValueExA(key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &bytes);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return defaultValue;
    // A value stored without its terminating zero comes back without one.
    std::string value(buf.data(), bytes <= buf.size() ? bytes : buf.size());
    const size_t nul = value.find('\0');
    if (nul != std::string::npos) value.resize(nul);
    return value;
}
