#pragma once
// Language tables, the portable part: the text key, the language file format, the
// table and the Translate algorithm. The window side supplies the file's location (from the
// configuration file and the current directory) and keeps the process-wide table.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr int32_t kLanguageInitialCapacity = 10000;
constexpr const char* kDefaultLanguageFile = "default.lan";
// Larger files are not read: treated like a missing file. Real ones are well below 1 MiB.
constexpr uint64_t kLanguageFileMaxBytes = 16u * 1024u * 1024u;

// Slots 1..Capacity hold key and text; slot 0 is never used. The arrays grow only as far as
// slots are stored (a slot at or beyond their size is empty), so a capacity raised by a large
// file costs no memory of its own. After a load or a lookup they reach slot entryCount - 1,
// or slot capacity once the table is full.
struct LanguageTable {
    std::vector<int64_t> Keys;
    std::vector<std::string> Texts;
    int32_t Capacity = kLanguageInitialCapacity;
    // Next free slot (at most capacity, which then means full); -1: translation switched off.
    int32_t EntryCount = 0;
    bool Loaded = false;
    std::string LanguageFilePath;
};

// h = 0; for i = 1, 9, 17, ... <= length: h ^= 128 * i + (8 bytes from position i, zero-padded,
// little-endian). Computed modulo 2^64, the result's bits read as two's complement.
int64_t TextKey(const std::string& text);

// The key as written in a marker: 16 upper-case hex digits of its two's-complement bits.
std::string KeyHex(int64_t key);

// Fills the table from a language file's bytes (capacity, slots, entry count; the path and the
// loaded flag are left alone).
//
//   file   = ignored* record*
//   record = marker text CR LF
//   marker = "$" any*16 "$="   -- any "$" whose 17th next character starts "$="
//
// A record's text runs to two characters before the next marker, the last one to two
// characters before the end of the file; texts may contain CR LF. The key is read from the 16
// characters after "$" as hex digits up to the first that is not one (so "00000000006362E1"
// is 0x6362E1, "0000G..." is 0), as a 64-bit pattern. Markers closer together than a record
// needs give an empty text and a key cut at the record's end.
// Capacity: 10000, or 5 x the count of CR LF "$" when that count exceeds half of it. Records
// fill slots 1, 2, ...; once the capacity is reached later records overwrite the last slot.
// Entry count: records + 1, at most the capacity; 1 for a file without a marker.
void ParseLanguageFile(LanguageTable& table, const std::string& content);

// "$" KeyHex "$=" text CR LF for every slot 1..EntryCount inclusive whose text is not empty.
// The slot at entryCount is empty unless the table is full, when it holds the last new text.
std::string SerializeLanguageTable(const LanguageTable& table);

// Discards the table, remembers path as LanguageFilePath, marks it loaded and reads the file.
// A missing, unreadable or oversized file switches translation off (entry count -1).
void LoadLanguageTable(LanguageTable& table, const std::string& path);

// Replaces the file's content with the serialized table. False if the file cannot be written
// or the table is switched off (then the file is not touched).
bool SaveLanguageTable(const LanguageTable& table, const std::string& path);

// Translate over a given table: "$NEW$" reloads, "$SAVE$" writes the table back to
// LanguageFilePath, any other text returns its translation or is collected as a new entry.
// locateFile gives the language file's path; it is called only when the table is (re)loaded.
std::string TranslateIn(LanguageTable& table, const std::string& text, const std::function<std::string()>& locateFile);

// langdir + lang with every double backslash made single (one pass left to right, as a text
// replace does: three backslashes become two); if no such file exists, currentDir +
// "\default.lan" made single the same way.
std::string LanguageFilePathFor(const std::string& langdir, const std::string& lang, const std::string& currentDir,
                                const std::function<bool(const std::string&)>& fileExists);

// The default of "langdir" in section "files": currentDir + "\config\Lang\".
std::string DefaultLanguageDir(const std::string& currentDir);
