#include "base/language.h"

#include <algorithm>
#include <fstream>

#include "base/numbers.h"
#include "base/paths.h"

namespace {

constexpr size_t kMarkerLength = 19;  // "$" + 16 + "$="

void ResetSlots(LanguageTable& table) {
    table.Keys.assign(1, 0);
    table.Texts.assign(1, std::string());
    table.Capacity = kLanguageInitialCapacity;
    table.EntryCount = 0;
}

void StoreSlot(LanguageTable& table, int32_t index, int64_t key, std::string text) {
    const size_t i = static_cast<size_t>(index);
    if (i >= table.Keys.size()) {
        table.Keys.resize(i + 1, 0);
        table.Texts.resize(i + 1);
    }
    table.Keys[i] = key;
    table.Texts[i] = std::move(text);
}

// The record from the marker at `start` up to (not including) `end`.
void StoreRecord(LanguageTable& table, int32_t index, const std::string& content, size_t start, size_t end) {
    end = std::max(end, start);
    const uint64_t key = HexDigitsValue(content, start + 1, std::min(start + 17, end));
    const size_t textStart = start + kMarkerLength;
    StoreSlot(table, index, SignedBits(key),
              end > textStart ? content.substr(textStart, end - textStart) : std::string());
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    content.clear();
    char buf[65536];
    while (in) {
        in.read(buf, sizeof buf);
        content.append(buf, static_cast<size_t>(in.gcount()));
        if (content.size() > kLanguageFileMaxBytes) return false;
    }
    return !in.bad();
}

}  // namespace

int64_t TextKey(const std::string& text) {
    uint64_t h = 0;
    for (size_t i = 0; i < text.size(); i += 8) {
        uint64_t q = 0;
        const size_t chunk = std::min<size_t>(8, text.size() - i);
        for (size_t b = 0; b < chunk; ++b)
            q |= static_cast<uint64_t>(static_cast<unsigned char>(text[i + b])) << (8 * b);
        h ^= 128u * static_cast<uint64_t>(i + 1) + q;
    }
    return SignedBits(h);
}

std::string KeyHex(int64_t key) {
    static const char kDigits[] = "0123456789ABCDEF";
    const uint64_t bits = static_cast<uint64_t>(key);
    std::string out(16, '0');
    for (int i = 0; i < 16; ++i) out[15 - i] = kDigits[(bits >> (4 * i)) & 0xF];
    return out;
}

void ParseLanguageFile(LanguageTable& table, const std::string& content) {
    ResetSlots(table);
    const size_t n = content.size();

    int64_t separators = 0;  // CR LF "$"
    for (size_t i = 0; i + 2 < n; ++i)
        if (content[i] == '\r' && content[i + 1] == '\n' && content[i + 2] == '$') ++separators;
    if (separators > table.Capacity / 2)
        table.Capacity = static_cast<int32_t>(std::min<int64_t>(5 * separators, INT32_MAX - 1));

    bool seen = false;
    size_t previous = 0;
    int32_t entry = 0;
    for (size_t p = 0; p + kMarkerLength <= n; ++p) {
        if (content[p] != '$' || content[p + 17] != '$' || content[p + 18] != '=') continue;
        if (seen) {
            StoreRecord(table, entry, content, previous, p >= 2 ? p - 2 : 0);
            if (entry < table.Capacity) ++entry;
        } else {
            entry = 1;
            seen = true;
        }
        previous = p;
    }
    if (!seen) {
        table.EntryCount = 1;
        return;
    }
    StoreRecord(table, entry, content, previous, n - 2);  // n >= 19 here
    table.EntryCount = std::min(entry + 1, table.Capacity);
}

std::string SerializeLanguageTable(const LanguageTable& table) {
    std::string out;
    const int64_t last = std::min<int64_t>(table.EntryCount, static_cast<int64_t>(table.Texts.size()) - 1);
    for (int64_t i = 1; i <= last; ++i) {
        const std::string& text = table.Texts[static_cast<size_t>(i)];
        if (text.empty()) continue;
        out += "$" + KeyHex(table.Keys[static_cast<size_t>(i)]) + "$=";
        out += text;
        out += "\r\n";
    }
    return out;
}

void LoadLanguageTable(LanguageTable& table, const std::string& path) {
    ResetSlots(table);
    table.Loaded = true;
    table.LanguageFilePath = path;
    std::string content;
    if (!ReadWholeFile(path, content)) {
        table.EntryCount = -1;
        return;
    }
    ParseLanguageFile(table, content);
}

bool SaveLanguageTable(const LanguageTable& table, const std::string& path) {
    if (table.EntryCount < 0) return false;
    const std::string content = SerializeLanguageTable(table);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}

std::string TranslateIn(LanguageTable& table, const std::string& text, const std::function<std::string()>& locateFile) {
    if (text.empty() || table.EntryCount == -1) return text;
    if (!table.Loaded || text == "$NEW$") {
        LoadLanguageTable(table, locateFile ? locateFile() : std::string());
        if (table.EntryCount == -1) return text;
    }
    if (text == "$SAVE$") {
        SaveLanguageTable(table, table.LanguageFilePath);
        return text;
    }
    const int64_t key = TextKey(text);
    const int64_t last = std::min<int64_t>(table.EntryCount, static_cast<int64_t>(table.Keys.size()) - 1);
    for (int64_t i = 1; i <= last; ++i)
        if (table.Keys[static_cast<size_t>(i)] == key) return table.Texts[static_cast<size_t>(i)];
    if (table.EntryCount < 1) table.EntryCount = 1;  // only a hand-made table gets here
    StoreSlot(table, table.EntryCount, key, text);
    if (table.EntryCount < table.Capacity) ++table.EntryCount;
    return text;
}

std::string LanguageFilePathFor(const std::string& langdir, const std::string& lang, const std::string& currentDir,
                                const std::function<bool(const std::string&)>& fileExists) {
    const std::string path = CollapseDoubleBackslashes(langdir + lang);
    if (fileExists && fileExists(path)) return path;
    return CollapseDoubleBackslashes(currentDir + "\\default.lan");
}

std::string DefaultLanguageDir(const std::string& currentDir) { return currentDir + "\\config\\Lang\\"; }
