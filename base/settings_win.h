#pragma once
// The three stores of the program's settings: the win.ini section "KTXPLT", the program's
// configuration file (App.ConfigFilePath) and one registry key under HKEY_CLASSES_ROOT.
// Nothing is cached: every read asks the operating system.
//
// A standard user may write neither win.ini in the Windows folder nor a .cfg beside a program
// kept under Program Files. A value such a store refuses goes to the user's own place instead:
// HKEY_CURRENT_USER\Software\<program base name>\KTXPLT for win.ini, UserConfigFile() for the
// .cfg. Reads look there first; a value the program's own store takes again is removed from
// there, so an old one cannot hide a newer one.
#include <windows.h>

#include <string>

std::string ProgramPath();  // full path of the running module
// The program's configuration file, App.ConfigFilePath (derived on first use).
const std::string& ConfigFile();

// win.ini, section "KTXPLT" (or the user's own key); values up to 256 characters.
std::string ReadProfileValue(const std::string& key, const std::string& defaultValue);
void WriteProfileValue(const std::string& key, const std::string& value);

// The program's configuration file (or the user's own); size is the buffer size the value is
// read with. False when neither file took the value.
std::string ReadConfigValue(const std::string& section, const std::string& key, const std::string& defaultValue,
                            int size = 256);
bool WriteConfigValue(const std::string& section, const std::string& key, const std::string& value);
// %APPDATA%\KT4180, where the user's own files go (not made here); "" when Windows names no
// application-data folder.
std::string UserFolder();
// UserFolder()\<program base name>.cfg, in the configuration file's INI format.
std::string UserConfigFile();

// HKEY_CLASSES_ROOT\<program base name>\<subPath>, value valueName as REG_SZ. programPath
// empty means the running program. Where the classes root refuses the write (standard users
// on current Windows), the value goes to HKEY_CURRENT_USER\Software\Classes, which the
// classes root shows to that user.
void WriteRegistryValue(const std::string& subPath, const std::string& valueName, const std::string& text,
                        const std::string& programPath = "");
// The value, or defaultValue when the key or value is missing or does not fit in size bytes.
std::string ReadRegistryValue(const std::string& subPath, const std::string& valueName, const std::string& defaultValue,
                              int size = 25, const std::string& programPath = "");

// One write attempt under the given root; false when the key cannot be created or set.
bool WriteRegistryValueUnder(HKEY root, const std::string& keyName, const std::string& valueName,
                             const std::string& text);
// Writes under classesRoot, or under HKEY_CURRENT_USER\Software\Classes when that fails.
void WriteRegistryValueWithFallback(HKEY classesRoot, const std::string& keyName, const std::string& valueName,
                                    const std::string& text);
