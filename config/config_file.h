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
#include <map>
#include <string>
#include <vector>

#include "config/register_table.h"

constexpr const char* kConfigSection = "CO";
constexpr const char* kDefaultConfigName = "default.cfg";
constexpr int kConfigValueMaxRead = 255;  // characters a loaded value keeps
constexpr int kConfigValueMaxSave = 256;  // characters of a text box that are saved
constexpr int kControllerFilePathMax = 256;
constexpr const char* kLoadDialogTitle = "Lade Controller-File";
constexpr const char* kSaveDialogTitle = "Save Controller-File";
constexpr const char* kConfigExtension = "cfg";
constexpr const char* kConfigFilterPattern = "*.cfg";
constexpr const char* kSavedTitle = "Gespeichert !";
constexpr const char* kSaveFailedTitle = "Nicht gespeichert !";
constexpr const char* kLoadFailedTitle = "Nicht geladen !";

// The current configuration file; empty at start, not kept across runs. Owned by the
// user-interface thread.
extern std::string ControllerFilePath;

// What every file operation does first: an empty path becomes the current directory and
// "\default.cfg"; then doubled backslashes are collapsed.
std::string ResolveControllerFilePath(const std::string& path, const std::string& currentDirectory);

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
//   file    = [ bom ] line*      (bom: the UTF-8 byte-order mark, kept as it is)
//   line    = section | entry | other, each ended by LF, CR LF or the end of the file
//   section = blank* "[" name [ "]" any* ]
//   entry   = blank* key blank* "=" value     (key: no "=", not starting with "[")
//
// Names and keys compare without regard to ASCII case and surrounding blanks; the first
// matching section and the first matching key in it count. Both operations take one pass
// over the text, whatever the number of keys.

// A section or key name as names compare: without surrounding blanks, ASCII lower case.
std::string IniName(const std::string& name);

// The entries of a section by IniName of their keys: each value without surrounding blanks,
// without one pair of enclosing double quotes, cut to maxChars.
using IniValues = std::map<std::string, std::string>;
IniValues IniGetValues(const std::string& text, const std::string& section, int maxChars = kConfigValueMaxRead);

// Sets keys: an existing entry line becomes key "=" value in place; new keys go after the last
// non-blank line of their section, in the order given; a new section goes at the end of the
// text. New lines end in CR LF. Every other byte of the text stays as it was. A line break in
// a value is cut.
void IniSetValues(std::string& text, const std::string& section, const std::vector<ConfigEntry>& entries);

// No real configuration comes near this; a larger file is refused rather than read whole.
constexpr size_t kConfigFileMaxBytes = 16u * 1024 * 1024;

enum class ConfigRead { Ok, Missing, Unreadable, TooLarge };
// The whole file as Windows-1252 text (a file saved as UTF-16 converted); empty unless Ok.
ConfigRead ReadConfigFile(const std::string& path, std::string& text);

// Puts the complete file from on the place of to (replacing it); false when it cannot.
using ReplaceFileFn = bool (*)(const std::string& from, const std::string& to);

// Sets the entries in section "CO" of the file, creating it when it does not exist and leaving
// its other sections and keys alone. The new text is written to path + ".tmp" and then put in
// the file's place with replace (a rename when none is given), so that a failure leaves the
// old file whole. False when the file cannot be read whole (other than not existing) or the
// new one cannot be written: a read-only folder, a full disk, a file over the size limit.
bool WriteConfigFile(const std::string& path, const std::vector<ConfigEntry>& entries, ReplaceFileFn replace = nullptr);

// The message box texts for a save or a load that failed, naming the file.
std::string SaveFailedMessage(const std::string& path);
std::string LoadFailedMessage(ConfigRead why, const std::string& path);
