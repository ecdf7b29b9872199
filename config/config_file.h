#pragma once
// Controller configuration files: ini-style text, one section "CO", one key per field of the
// register table (its control id with five digits), the numeric fields' texts as typed and the
// bit fields' states with a blank before them:
//
//   [CO]
//   01162=20
//   01174= 1
//
// The private-profile functions do not give these bytes everywhere (Wine's drop the blank
// before " 1" and the file's blank lines), so the file can be read and written here instead:
// WriteConfigFile changes only the lines it must, reads keys as GetPrivateProfileStringA does,
// and reports failure.
#include <string>
#include <vector>

#include "config/register_table.h"

constexpr const char* kConfigSection = "CO";
constexpr const char* kDefaultConfigName = "default.cfg";
constexpr int kConfigValueMaxRead = 255;   // characters a loaded value keeps
constexpr int kConfigValueMaxSave = 256;   // characters of a text box that are saved
constexpr int kControllerFilePathMax = 256;
constexpr const char* kLoadDialogTitle = "Lade Controller-File";
constexpr const char* kSaveDialogTitle = "Save Controller-File";
constexpr const char* kConfigExtension = "cfg";
constexpr const char* kConfigFilterPattern = "*.cfg";
constexpr const char* kSavedTitle = "Gespeichert !";
constexpr const char* kSaveFailedTitle = "Nicht gespeichert !";

// The current configuration file; empty at start, not kept across runs. Owned by the
// user-interface thread.
extern std::string ControllerFilePath;

// What every file operation does first: an empty path becomes the current directory and
// "\default.cfg"; then doubled backslashes are collapsed.
std::string ResolveControllerFilePath(const std::string& path,
                                      const std::string& currentDirectory);

// The key of a field: its control id with five digits ("01162").
std::string ConfigKey(int controlId);

struct ConfigEntry {
    std::string key;
    std::string value;
};

// What a save writes, in ascending control id: a text box's text (its first 256 characters, cut
// before any line break, which would end the line in the file), a check box's state as " 1"
// or " 0".
std::vector<ConfigEntry> ConfigEntries(const FieldSpecTable& table, const FieldInputs& inputs);

// A loaded value applied to its field: a text box takes the text unchanged, a check box is
// checked when the text's number, rounded, is 1 (" 1", "1"), clear otherwise (a check state
// of 2 would make a box indeterminate).
FieldInput FieldFromConfigValue(const FieldSpec& spec, const std::string& value);

// Loads every field of the table from a file's text; a missing key empties a text box and
// clears a check box, so an unreadable file (empty text) clears every field.
FieldInputs FieldsFromConfigText(const FieldSpecTable& table, const std::string& text);

// The profile text model, as GetPrivateProfileStringA and WritePrivateProfileStringA treat a
// file on Windows:
//
//   file    = line*
//   line    = section | entry | other, each ended by LF, CR LF or the end of the file
//   section = blank* "[" name [ "]" any* ]
//   entry   = blank* key blank* "=" value     (key: no "=", not starting with "[")
//
// Names and keys compare without regard to ASCII case and surrounding blanks; the first
// matching section and the first matching key in it count.
//
// Looks a key up: the value without surrounding blanks, without one pair of enclosing double
// quotes, cut to maxChars. False (and value empty) when the key is missing.
bool IniGetValue(const std::string& text, const std::string& section, const std::string& key,
                 std::string& value, int maxChars = kConfigValueMaxRead);

// Sets a key: an existing entry line becomes key "=" value in place; a new key goes after the
// last non-blank line of its section; a new section goes at the end of the text. New lines end
// in CR LF. Every other byte of the text stays as it was. A line break in the value is cut.
void IniSetValue(std::string& text, const std::string& section, const std::string& key,
                 const std::string& value);

// The whole file as bytes. False when it cannot be opened or read.
bool ReadConfigFile(const std::string& path, std::string& text);

// Sets the entries in section "CO" of the file, creating it when it does not exist and leaving
// its other sections and keys alone. False when the file cannot be read (other than not
// existing) or written: a read-only file, a missing folder, a full disk. The file is
// rewritten in place.
bool WriteConfigFile(const std::string& path, const std::vector<ConfigEntry>& entries);

// The message box text for a save that failed, naming the file.
std::string SaveFailedMessage(const std::string& path);
