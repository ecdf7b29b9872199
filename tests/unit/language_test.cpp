#include "base/language.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <random>

namespace {

// Keys in hex and records, written independently of the code under test.
std::string Hex(uint64_t key, const char* format = "%" PRIX64) {
    char buf[32];
    std::snprintf(buf, sizeof buf, format, key);
    return buf;
}
std::string Marker(uint64_t key) { return Hex(key, "$%016" PRIX64 "$="); }
std::string Record(uint64_t key, const std::string& text) { return Marker(key) + text + "\r\n"; }
uint64_t Key(const std::string& text) { return static_cast<uint64_t>(TextKey(text)); }

std::string Translated(LanguageTable& t, std::initializer_list<std::string> texts,
                       std::function<std::string()> locate) {
    std::string out;
    for (const std::string& text : texts) out += TranslateIn(t, text, locate) + "|";
    return out;
}

// The entry count, then key and text of each slot in use.
std::string Slots(const LanguageTable& t) {
    std::string s = std::to_string(t.EntryCount);
    for (int32_t i = 1; i < t.EntryCount && i < static_cast<int32_t>(t.Texts.size()); ++i)
        s += " " + Hex(static_cast<uint64_t>(t.Keys[i])) + "=" + t.Texts[i];
    return s;
}

TEST(Language, TextKeyAndKeyHex) {
    // 8-byte steps at i = 1, 9, ... add 128 * i; bytes are unsigned, the sum wraps, NUL is a byte.
    const std::pair<std::string, uint64_t> keys[] = {{"abc", 0x6362E1},
                                                     {"", 0},
                                                     {"abcdefgh", 0x6867666564636261u + 128u},
                                                     {"abcdefghijklmnop", 0x1808080808080C08u},
                                                     {"abcdefghi", (0x6867666564636261u + 128u) ^ (0x69u + 0x480u)},
                                                     {"\x80", 0x100},
                                                     {"abcdefg\xE4", 0xE4676665646362E1u},
                                                     {std::string(8, '\xFF'), 0x7F},
                                                     {std::string("a\0", 2), 0xE1}};
    for (const auto& [text, key] : keys) EXPECT_EQ(Key(text), key) << text;
    EXPECT_EQ(KeyHex(0x6362E1) + KeyHex(-1) + KeyHex(INT64_MIN), "00000000006362E1FFFFFFFFFFFFFFFF8000000000000000");
}

TEST(Language, ParseLanguageFile) {
    // Zeros with overlapping markers at 0 and 7: the first record is cut short.
    std::string cut7(40, '0');
    for (size_t p : {0, 7}) cut7.replace(p, 1, "$").replace(p + 17, 2, "$=");
    const std::pair<std::string, std::string> rows[] = {
        {"Kopf\r\n$ nicht\r\n" + Record(0x6362E1, "xyz") + Record(~1ull, "zwei\r\nZeilen\r\n") +
             "$00000000006362e1$=klein\r\n" + Record(INT64_MAX, "max"),
         "5 6362E1=xyz FFFFFFFFFFFFFFFE=zwei\r\nZeilen\r\n 6362E1=klein 7FFFFFFFFFFFFFFF=max"},
        // The last text ends two characters before the end of the file, line end or not.
        {Record(1, "eins") + Marker(2) + "Schrittbetrieb", "3 1=eins 2=Schrittbetri"},
        {Marker(5) + "x", "2 5="},
        // No marker: "$" and "$=" must be 17 apart; one among the last 18 bytes is text.
        {"", "1"},
        {"$=$=$=$", "1"},
        {"$000000000000000$=abc\r\n", "1"},
        {Record(1, "a") + "$0000000000000000$", "2 1=a\r\n$000000000000000"},
        // Non-hex characters end a key.
        {"$00000000006362G1$=a\r\n$ABC xxxxxxxxxxxx$=b\r\n", "3 6362=a ABC=b"},
        {cut7, "3 0= 0=" + std::string(12, '0')}};
    for (const auto& [content, slots] : rows) {
        LanguageTable t;
        ParseLanguageFile(t, content);
        EXPECT_EQ(Slots(t) + " cap " + std::to_string(t.Capacity), slots + " cap 10000") << content;
    }
}

TEST(Language, ArbitraryBytesStayInBounds) {
    // Dense in "$", "=" and CR LF so that markers, overlaps and cut records occur often.
    std::mt19937 rng(4180);
    const std::string alphabet = "$$$==0F\r\n";
    for (int round = 0; round < 3000; ++round) {
        std::string content(rng() % 120, ' ');
        for (char& c : content) c = alphabet[rng() % alphabet.size()];
        if (round % 3 == 0)
            for (size_t p = 0; p + 19 <= content.size(); p += 1 + rng() % 25)
                content.replace(p, 1, "$").replace(p + 17, 2, "$=");
        LanguageTable t;
        ParseLanguageFile(t, content);
        ASSERT_TRUE(t.EntryCount >= 1 && t.EntryCount <= t.Capacity && t.Keys.size() == t.Texts.size() &&
                    t.Keys.size() <= static_cast<size_t>(t.EntryCount) + 1)
            << content;
        for (const auto& text : t.Texts) ASSERT_LE(text.size(), content.size());
        SerializeLanguageTable(t);
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
    EXPECT_EQ(Translated(t, {"German 10001", "German 10000", "neu"}, {}), "Deutsch 10001|German 10000|neu|");
    EXPECT_EQ(std::to_string(t.Capacity) + " " + std::to_string(t.EntryCount) + " " + std::to_string(t.Keys.size()),
              "10000 10000 10001");
}

TEST(Language, TranslatesCollectsSavesAndSwitchesOff) {
    std::string path = testing::TempDir() + "kt" + std::to_string(getpid()) + "_default.lan";
    LanguageTable table;
    int locates = 0;
    const auto write = [&path](const std::string& content) { std::ofstream(path, std::ios::binary) << content; };
    const auto read = [&path] {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto tr = [&](std::initializer_list<std::string> texts) {
        return Translated(table, texts, [&] { return ++locates, path; });
    };
    write(
        "\xEF\xBB\xBF"
        "Kopf\r\n" +
        Record(0x6362E1, "xyz") + Record(9, "") + Record(Key("a\r\nb"), "A\r\nB"));
    EXPECT_EQ(tr({""}), "|");
    EXPECT_FALSE(table.Loaded);  // an empty text loads nothing
    // Line breaks count; new texts are collected once, after the file's; the file is read once.
    EXPECT_EQ(tr({"abc", "a\r\nb", "a\nb",
                  "Gr\xF6\xDF"
                  "e",
                  "a\nb", "$SAVE$"}),
              "xyz|A\r\nB|a\nb|Gr\xF6\xDF"
              "e|a\nb|$SAVE$|");
    EXPECT_EQ(std::to_string(table.EntryCount) + " " + std::to_string(locates), "6 1");
    EXPECT_EQ(read(), "$00000000006362E1$=xyz\r\n" + Record(Key("a\r\nb"), "A\r\nB") + Record(Key("a\nb"), "a\nb") +
                          "$00000065DFF672C7$=Gr\xF6\xDF"
                          "e\r\n");
    // Save loads first; "$NEW$" reloads and is collected itself, the old table's new texts are gone.
    table = LanguageTable();
    write("Kopf\r\n" + Record(0x6362E1, "xyz"));
    EXPECT_EQ(tr({"$SAVE$", "neu"}), "$SAVE$|neu|");
    EXPECT_EQ(read(), Record(0x6362E1, "xyz"));
    write(Record(0x6362E1, "uvw"));
    EXPECT_EQ(tr({"abc", "$NEW$", "abc"}), "xyz|$NEW$|uvw|");
    EXPECT_EQ(Slots(table) + " " + std::to_string(locates), "3 6362E1=uvw " + Hex(Key("$NEW$")) + "=$NEW$ 3");
    // Without its file the table is discarded and stays switched off, even when the file appears.
    std::remove(path.c_str());
    path += ".fehlt";
    std::remove(path.c_str());
    EXPECT_EQ(tr({"$NEW$", "abc"}), "$NEW$|abc|");
    EXPECT_EQ(Slots(table) + " " + std::to_string(table.Texts.size()), "-1 1");
    write(Record(0x6362E1, "xyz"));
    EXPECT_EQ(tr({"$NEW$", "abc", "$SAVE$"}), "$NEW$|abc|$SAVE$|");
    EXPECT_EQ(locates, 4);
    // A folder, no path or an oversized file count as missing; a save needs a folder and room, and a table.
    write(std::string(kLanguageFileMaxBytes + 1, ' '));
    for (const std::string& p : {testing::TempDir(), std::string(), path}) {
        LoadLanguageTable(table, p);
        EXPECT_EQ(table.EntryCount, -1) << p;
    }
    ParseLanguageFile(table, Record(0x6362E1, "xyz"));
    EXPECT_FALSE(SaveLanguageTable(table, path + "/kein/ordner.lan") || SaveLanguageTable(table, "/dev/full"));
    table.EntryCount = -1;
    EXPECT_FALSE(SaveLanguageTable(table, path));
    const auto exists = [](const std::string& p) { return p == "C:\\config\\Lang\\default.lan"; };
    EXPECT_EQ(LanguageFilePathFor(DefaultLanguageDir("C:\\"), kDefaultLanguageFile, "C:\\", exists) + "|" +
                  LanguageFilePathFor("C:\\KT\\Lang\\", "en.lan", "C:\\KT", exists) + "|" +
                  LanguageFilePathFor("X\\", "y", "C:\\", nullptr),
              "C:\\config\\Lang\\default.lan|C:\\KT\\default.lan|C:\\default.lan");
    std::remove(path.c_str());
}

}  // namespace
