#include "base/language.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <random>

#include "test_files.h"

namespace {

// Markers and records, written independently of the code under test.
std::string Marker(uint64_t key) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "$%016" PRIX64 "$=", key);
    return buf;
}
std::string Record(uint64_t key, const std::string& text) { return Marker(key) + text + "\r\n"; }
uint64_t Key(const std::string& text) { return static_cast<uint64_t>(TextKey(text)); }

using Texts = std::vector<std::string>;

Texts Translated(LanguageTable& t, std::initializer_list<std::string> texts, std::function<std::string()> locate) {
    Texts out;
    for (const std::string& text : texts) out.push_back(TranslateIn(t, text, locate));
    return out;
}

TEST(Language, TextKeyAndKeyHex) {
    // 8-byte steps at i = 1, 9, ... add 128 * i; bytes are unsigned, the sum wraps.
    const std::pair<std::string, uint64_t> keys[] = {{"abc", 0x6362E1},
                                                     {"", 0},
                                                     {"abcdefghi", (0x6867666564636261u + 128u) ^ (0x69u + 0x480u)},
                                                     {"\x80", 0x100},
                                                     {std::string(8, '\xFF'), 0x7F}};
    for (const auto& [text, key] : keys) EXPECT_EQ(Key(text), key) << text;
    EXPECT_EQ(KeyHex(0x6362E1) + " " + KeyHex(-1), "00000000006362E1 FFFFFFFFFFFFFFFF");
}

// Key and text of every slot below the entry count, those with an empty text left out if asked.
using Slots = std::vector<std::pair<int64_t, std::string>>;
Slots Stored(const LanguageTable& t, bool withEmpty) {
    Slots slots;
    for (size_t i = 1; i < static_cast<size_t>(t.EntryCount) && i < t.Texts.size(); ++i)
        if (withEmpty || !t.Texts[i].empty()) slots.emplace_back(t.Keys[i], t.Texts[i]);
    return slots;
}

TEST(Language, ArbitraryBytesGiveAConsistentTable) {
    // Dense in "$", "=" and CR LF so that markers, overlaps and cut records occur often; keys in both cases.
    std::mt19937 rng(4180);
    const std::string alphabet = "$$$==0Fa\r\n";
    for (int round = 0; round < 3000; ++round) {
        std::string content(rng() % 120, ' ');
        for (char& c : content) c = alphabet[rng() % alphabet.size()];
        if (round % 3 == 0)
            for (size_t p = 0; p + 19 <= content.size(); p += 1 + rng() % 25)
                content.replace(p, 1, "$").replace(p + 17, 2, "$=");
        std::vector<size_t> markers;
        for (size_t p = 0; p + 19 <= content.size(); ++p)
            if (content[p] == '$' && content[p + 17] == '$' && content[p + 18] == '=') markers.push_back(p);
        LanguageTable t;
        ParseLanguageFile(t, content);
        const size_t slots = markers.size() + 1;  // slot 0 is never used
        ASSERT_EQ(std::make_tuple(t.Capacity, static_cast<size_t>(t.EntryCount), t.Keys.size(), t.Texts.size()),
                  std::make_tuple(kLanguageInitialCapacity, slots, slots, slots))
            << content;
        // Each text ends two characters before the next marker or the end; the key is the marker's leading hex digits.
        for (size_t i = 1; i <= markers.size(); ++i) {
            const size_t at = markers[i - 1], end = (i < markers.size() ? markers[i] : content.size()) - 2;
            ASSERT_EQ(t.Texts[i], end > at + 19 ? content.substr(at + 19, end - at - 19) : "") << content << i;
            std::string digits = "0";
            for (size_t j = at + 1; j < std::min(at + 17, end) && std::isxdigit(content[j]); ++j) digits += content[j];
            ASSERT_EQ(t.Keys[i], static_cast<int64_t>(std::stoull(digits, nullptr, 16))) << content << i;
        }
        // Saved and parsed again, the slots with a text come back in order.
        LanguageTable back;
        ParseLanguageFile(back, SerializeLanguageTable(t));
        ASSERT_EQ(Stored(back, true), Stored(t, false)) << content;
    }
}

TEST(Language, CapacityGrowsWithTheFileAndAFullTableOverwritesItsLastSlot) {
    const auto numbered = [](int count, const char* separator) {  // "German i" as "Deutsch i"
        std::string content;
        for (int i = 1; i <= count; ++i)
            content += Marker(Key("German " + std::to_string(i))) + "Deutsch " + std::to_string(i) + separator;
        return content;
    };
    LanguageTable t;
    t.Loaded = true;                               // parsed by hand: Translate must not load
    ParseLanguageFile(t, numbered(5001, "\r\n"));  // 5000 CR LF "$": not more than half of 10000
    EXPECT_EQ(t.Capacity, 10000);
    ParseLanguageFile(t, "\r\n" + numbered(5001, "\r\n"));  // one more at the very start
    EXPECT_EQ(t.Capacity, 25005);
    // Without CR LF "$" the capacity stays 10000: records beyond it, and then new texts, take slot 10000.
    ParseLanguageFile(t, numbered(10001, "--"));
    EXPECT_EQ(Translated(t, {"German 10001", "German 10000", "neu"}, {}),
              (Texts{"Deutsch 10001", "German 10000", "neu"}));
    EXPECT_EQ(std::make_tuple(t.Capacity, t.EntryCount, t.Keys.size()), std::make_tuple(10000, 10000, size_t{10001}));
}

TEST(Language, TranslatesCollectsSavesAndSwitchesOff) {
    const std::string path = ScratchPath("default.lan");
    LanguageTable table;
    int locates = 0;
    const auto tr = [&](std::initializer_list<std::string> texts) {
        return Translated(table, texts, [&] { return ++locates, path; });
    };
    WriteFile(path, "\xEF\xBB\xBFKopf\r\n" + Record(0x6362E1, "xyz") + Record(9, "") + Record(Key("a\r\nb"), "A\r\nB"));
    EXPECT_TRUE(tr({""}) == Texts{""} && !table.Loaded) << "an empty text loads nothing";
    // Line breaks count; new texts are collected once, after the file's; the file is read once.
    EXPECT_EQ(tr({"abc", "a\r\nb", "a\nb", "Größe", "a\nb", "$SAVE$"}),
              (Texts{"xyz", "A\r\nB", "a\nb", "Größe", "a\nb", "$SAVE$"}));
    EXPECT_EQ(std::make_pair(table.EntryCount, locates), std::make_pair(6, 1));
    EXPECT_EQ(FileText(path), "$00000000006362E1$=xyz\r\n" + Record(Key("a\r\nb"), "A\r\nB") +
                                  Record(Key("a\nb"), "a\nb") + "$00000065DFF672C7$=Größe\r\n");
    // Save loads first; "$NEW$" reloads and is collected itself, the old table's new texts are gone.
    table = LanguageTable();
    WriteFile(path, "Kopf\r\n" + Record(0x6362E1, "xyz"));
    EXPECT_EQ(tr({"$SAVE$", "neu"}), (Texts{"$SAVE$", "neu"}));
    EXPECT_EQ(FileText(path), Record(0x6362E1, "xyz"));
    WriteFile(path, Record(0x6362E1, "uvw"));
    EXPECT_EQ(tr({"abc", "$NEW$", "abc"}), (Texts{"xyz", "$NEW$", "uvw"}));
    EXPECT_EQ(Stored(table, true), (Slots{{0x6362E1, "uvw"}, {TextKey("$NEW$"), "$NEW$"}}));
    EXPECT_EQ(std::make_pair(table.EntryCount, locates), std::make_pair(3, 3));
    // Without its file the table is discarded and stays switched off, even when the file appears.
    std::remove(path.c_str());
    EXPECT_EQ(tr({"$NEW$", "abc"}), (Texts{"$NEW$", "abc"}));
    EXPECT_EQ(std::make_pair(table.EntryCount, table.Texts.size()), std::make_pair(-1, size_t{1}));
    WriteFile(path, Record(0x6362E1, "xyz"));
    EXPECT_EQ(tr({"$NEW$", "abc", "$SAVE$"}), (Texts{"$NEW$", "abc", "$SAVE$"}));
    EXPECT_EQ(locates, 4);
    // A folder, no path or an oversized file count as missing; a save needs a folder and room, and a table.
    WriteFile(path, std::string(kLanguageFileMaxBytes + 1, ' '));
    for (const std::string& p : {testing::TempDir(), std::string(), path}) {
        LoadLanguageTable(table, p);
        EXPECT_EQ(table.EntryCount, -1) << p;
    }
    WriteFile(path, std::string(kLanguageFileMaxBytes, ' '));
    LoadLanguageTable(table, path);
    EXPECT_EQ(table.EntryCount, 1) << "a file of the largest size loads";
    ParseLanguageFile(table, Record(0x6362E1, "xyz"));
    for (const std::string& p : {path + "/kein/ordner.lan", std::string("/dev/full")})
        EXPECT_FALSE(SaveLanguageTable(table, p)) << p;
    table.EntryCount = -1;
    EXPECT_FALSE(SaveLanguageTable(table, path));
    const auto exists = [](const std::string& p) { return p == "C:\\config\\Lang\\default.lan"; };
    EXPECT_EQ(LanguageFilePathFor(DefaultLanguageDir("C:\\"), kDefaultLanguageFile, "C:\\", exists),
              "C:\\config\\Lang\\default.lan");
    EXPECT_EQ(LanguageFilePathFor("C:\\KT\\Lang\\", "en.lan", "C:\\KT", exists), "C:\\KT\\default.lan");
    EXPECT_EQ(LanguageFilePathFor("X\\", "y", "C:\\", nullptr), "C:\\default.lan");
    std::remove(path.c_str());
}

}  // namespace
