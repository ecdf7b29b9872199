#include "base/language.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

// A marker written independently of the code under test.
std::string Marker(uint64_t key) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "$%016" PRIX64 "$=", key);
    return buf;
}

std::string Record(uint64_t key, const std::string& text) { return Marker(key) + text + "\r\n"; }

uint64_t Bits(int64_t key) { return static_cast<uint64_t>(key); }

constexpr uint64_t kKeyAbc = 0x00000000006362E1;  // "abc": 0x636261 + 128

TEST(TextKey, ValuesFromTheFormula) {
    EXPECT_EQ(Bits(TextKey("abc")), kKeyAbc);
    EXPECT_EQ(Bits(TextKey("")), 0u);
    // 7 and 8 bytes: one step, i = 1.
    EXPECT_EQ(Bits(TextKey("abcdefg")), 0x0067666564636261u + 128u);
    EXPECT_EQ(Bits(TextKey("abcdefgh")), 0x6867666564636261u + 128u);
    // 9 bytes: a second step at i = 9 adds 128 * 9 = 0x480 to the padded "i".
    EXPECT_EQ(Bits(TextKey("abcdefghi")), (0x6867666564636261u + 128u) ^ (0x69u + 0x480u));
    EXPECT_EQ(Bits(TextKey("abcdefghi")), 0x6867666564636608u);
    // 16 bytes: two full steps; 17 bytes: a third at i = 17 (128 * 17 = 0x880).
    EXPECT_EQ(Bits(TextKey("abcdefghijklmnop")), 0x1808080808080C08u);
    EXPECT_EQ(Bits(TextKey("abcdefghijklmnopq")), 0x1808080808080C08u ^ (0x71u + 0x880u));
    EXPECT_EQ(Bits(TextKey("abcdefghijklmnopq")), 0x18080808080804F9u);
}

TEST(TextKey, BytesAbove127AreUnsignedAndTheSumWraps) {
    EXPECT_EQ(Bits(TextKey("\x80")), 0x100u);
    // "Größe" in Windows-1252.
    EXPECT_EQ(Bits(TextKey("Gr\xF6\xDF" "e")), 0x65DFF67247u + 128u);
    // A top byte above 127 makes the key negative.
    EXPECT_EQ(Bits(TextKey("abcdefg\xE4")), 0xE4676665646362E1u);
    EXPECT_LT(TextKey("abcdefg\xE4"), 0);
    // Eight bytes 0xFF read as 2^64 - 1; adding 128 wraps to 127.
    EXPECT_EQ(Bits(TextKey(std::string(8, '\xFF'))), 0x7Fu);
    EXPECT_EQ(Bits(TextKey(std::string(9, '\xFF'))), 0x7Fu ^ (0xFFu + 0x480u));
    // Case, blanks and line breaks count.
    EXPECT_NE(TextKey("Abc"), TextKey("abc"));
    EXPECT_NE(TextKey("a\r\nb"), TextKey("a\nb"));
    EXPECT_EQ(Bits(TextKey(std::string("a\0", 2))), 0x61u + 128u);
}

TEST(KeyHex, SixteenUpperCaseDigitsOfTheBits) {
    EXPECT_EQ(KeyHex(0x6362E1), "00000000006362E1");
    EXPECT_EQ(KeyHex(-1), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(KeyHex(INT64_MIN), "8000000000000000");
    EXPECT_EQ(KeyHex(0x0123456789ABCDEF), "0123456789ABCDEF");
}

TEST(ParseLanguageFile, RecordsTextsAndKeys) {
    LanguageTable t;
    ParseLanguageFile(t, "Kopfzeile ohne Marke\r\n$ nicht\r\n" + Record(kKeyAbc, "xyz") +
                             Record(0xFFFFFFFFFFFFFFFE, "zwei\r\nZeilen\r\n") +
                             "$00000000006362e1$=klein\r\n");
    EXPECT_EQ(t.capacity, 10000);
    ASSERT_EQ(t.entryCount, 4);
    ASSERT_GE(t.texts.size(), 4u);
    EXPECT_EQ(Bits(t.keys[1]), kKeyAbc);
    EXPECT_EQ(t.texts[1], "xyz");
    EXPECT_EQ(t.keys[2], -2);
    EXPECT_EQ(t.texts[2], "zwei\r\nZeilen\r\n");
    EXPECT_EQ(Bits(t.keys[3]), kKeyAbc);  // lower-case hex digits are read too
    EXPECT_EQ(t.texts[3], "klein");
}

TEST(ParseLanguageFile, LastRecordWithoutLineEndLosesTwoCharacters) {
    LanguageTable t;
    ParseLanguageFile(t, Record(1, "eins") + Marker(2) + "Schrittbetrieb");
    ASSERT_EQ(t.entryCount, 3);
    EXPECT_EQ(t.texts[1], "eins");
    EXPECT_EQ(t.texts[2], "Schrittbetri");
}

TEST(ParseLanguageFile, WithoutMarkersTheTableIsEmpty) {
    for (const std::string& content : {std::string(), std::string("nur Text\r\n"), std::string("$=$=$=$"),
                                      // "$" and "$=" 16 characters apart instead of 17.
                                      std::string("$000000000000000$=abc\r\n")}) {
        LanguageTable t;
        ParseLanguageFile(t, content);
        EXPECT_EQ(t.entryCount, 1) << content;
        EXPECT_EQ(t.capacity, 10000);
        EXPECT_EQ(SerializeLanguageTable(t), "");
    }
}

TEST(ParseLanguageFile, MarkersAtTheEnd) {
    {
        // A file of only a marker: one record with an empty text.
        LanguageTable t;
        ParseLanguageFile(t, Marker(kKeyAbc));
        ASSERT_EQ(t.entryCount, 2);
        EXPECT_EQ(Bits(t.keys[1]), kKeyAbc);
        EXPECT_EQ(t.texts[1], "");
    }
    {
        // One byte of text and no line end: nothing is left of the text.
        LanguageTable t;
        ParseLanguageFile(t, Marker(5) + "x");
        ASSERT_EQ(t.entryCount, 2);
        EXPECT_EQ(t.keys[1], 5);
        EXPECT_EQ(t.texts[1], "");
    }
    {
        // A "$" among the last 18 bytes cannot start a marker: it is part of the last text.
        const std::string tail = "$0000000000000000$";
        const std::string content = Record(1, "abc") + tail;
        LanguageTable t;
        ParseLanguageFile(t, content);
        ASSERT_EQ(t.entryCount, 2);
        EXPECT_EQ(t.texts[1], "abc\r\n" + tail.substr(0, tail.size() - 2));
    }
}

TEST(ParseLanguageFile, MalformedMarkers) {
    {
        // Non-hex characters end the key.
        LanguageTable t;
        ParseLanguageFile(t, "$00000000006362G1$=a\r\n$ABC xxxxxxxxxxxx$=b\r\n");
        ASSERT_EQ(t.entryCount, 3);
        EXPECT_EQ(t.keys[1], 0x6362);
        EXPECT_EQ(t.keys[2], 0xABC);
        EXPECT_EQ(t.texts[2], "b");
    }
    {
        // A second marker inside the first one's key: the first record is cut to "$0000".
        std::string content(40, '0');
        content[0] = '$';
        content[17] = '$';
        content[18] = '=';
        content[7] = '$';
        content[24] = '$';
        content[25] = '=';
        LanguageTable t;
        ParseLanguageFile(t, content);
        ASSERT_EQ(t.entryCount, 3);
        EXPECT_EQ(t.keys[1], 0);
        EXPECT_EQ(t.texts[1], "");
        EXPECT_EQ(t.keys[2], 0);  // the "$" at 17 ends its digits
        EXPECT_EQ(t.texts[2], content.substr(26, 40 - 2 - 26));
    }
    {
        // Markers two bytes apart, as close as they can come: the first record is empty.
        std::string content(45, '0');
        content[0] = '$';
        content[17] = '$';
        content[18] = '=';
        content[2] = '$';
        content[19] = '$';
        content[20] = '=';
        LanguageTable t;
        ParseLanguageFile(t, content);
        ASSERT_EQ(t.entryCount, 3);
        EXPECT_EQ(t.keys[1], 0);
        EXPECT_EQ(t.texts[1], "");
        EXPECT_EQ(t.texts[2], content.substr(21, 45 - 2 - 21));
    }
}

TEST(ParseLanguageFile, ArbitraryBytesStayInBounds) {
    // Dense in "$", "=" and CR LF so that markers, overlaps and cut records occur often.
    std::mt19937 rng(4180);
    const std::string alphabet = "$$$==0F\r\n";
    for (int round = 0; round < 3000; ++round) {
        std::string content(rng() % 120, ' ');
        for (char& c : content) c = alphabet[rng() % alphabet.size()];
        if (round % 3 == 0)
            for (size_t p = 0; p + 19 <= content.size(); p += 1 + rng() % 25) {
                content[p] = '$';
                content[p + 17] = '$';
                content[p + 18] = '=';
            }
        LanguageTable t;
        ParseLanguageFile(t, content);
        ASSERT_GE(t.entryCount, 1);
        ASSERT_LE(t.entryCount, t.capacity);
        ASSERT_EQ(t.keys.size(), t.texts.size());
        ASSERT_LE(t.keys.size(), static_cast<size_t>(t.entryCount) + 1);
        for (const auto& text : t.texts) ASSERT_LE(text.size(), content.size());
        SerializeLanguageTable(t);
    }
}

// Records "$<key of German i>$=Deutsch i" for i = 1..count, joined by the separator.
std::string NumberedFile(int count, const std::string& separator) {
    std::string content;
    for (int i = 1; i <= count; ++i)
        content += Marker(Bits(TextKey("German " + std::to_string(i)))) + "Deutsch " + std::to_string(i) + separator;
    return content;
}

TEST(ParseLanguageFile, CapacityGrowsPastHalfOfIt) {
    {
        // 5001 records have 5000 CR LF "$": not more than half of 10000.
        LanguageTable t;
        ParseLanguageFile(t, NumberedFile(5001, "\r\n"));
        EXPECT_EQ(t.capacity, 10000);
        EXPECT_EQ(t.entryCount, 5002);
    }
    LanguageTable t;
    ParseLanguageFile(t, NumberedFile(6000, "\r\n"));
    EXPECT_EQ(t.capacity, 5 * 5999);
    ASSERT_EQ(t.entryCount, 6001);
    EXPECT_EQ(t.texts[1], "Deutsch 1");
    EXPECT_EQ(t.texts[6000], "Deutsch 6000");
    const auto none = [] { return std::string(); };
    EXPECT_EQ(t.loaded, false);
    t.loaded = true;  // parsed by hand: Translate must not load
    EXPECT_EQ(TranslateIn(t, "German 6000", none), "Deutsch 6000");
    EXPECT_EQ(TranslateIn(t, "German 4711", none), "Deutsch 4711");
    EXPECT_EQ(TranslateIn(t, "German 6001", none), "German 6001");
    EXPECT_EQ(t.entryCount, 6002);
}

TEST(ParseLanguageFile, FullTableOverwritesItsLastSlot) {
    // 10001 records without CR LF "$" between them: the capacity stays 10000, the records
    // beyond it all land in slot 10000.
    LanguageTable t;
    ParseLanguageFile(t, NumberedFile(10001, "--"));
    ASSERT_EQ(t.capacity, 10000);
    ASSERT_EQ(t.entryCount, 10000);
    EXPECT_EQ(t.texts[9999], "Deutsch 9999");
    EXPECT_EQ(t.texts[10000], "Deutsch 10001");
    EXPECT_EQ(t.keys.size(), 10001u);

    t.loaded = true;
    const auto none = [] { return std::string(); };
    EXPECT_EQ(TranslateIn(t, "German 10001", none), "Deutsch 10001");
    EXPECT_EQ(TranslateIn(t, "German 10000", none), "German 10000");
    EXPECT_EQ(TranslateIn(t, "neu 1", none), "neu 1");
    EXPECT_EQ(TranslateIn(t, "neu 2", none), "neu 2");
    EXPECT_EQ(t.entryCount, 10000);
    EXPECT_EQ(t.texts[10000], "neu 2");
    EXPECT_EQ(t.texts[9999], "Deutsch 9999");
    EXPECT_EQ(t.keys.size(), 10001u);
    // Saving includes the slot at the entry count.
    const std::string saved = SerializeLanguageTable(t);
    const std::string last = Record(Bits(TextKey("neu 2")), "neu 2");
    ASSERT_GE(saved.size(), last.size());
    EXPECT_EQ(saved.substr(saved.size() - last.size()), last);
}

TEST(SerializeLanguageTable, NonEmptyTextsUpToTheEntryCount) {
    LanguageTable t;
    ParseLanguageFile(t, Record(kKeyAbc, "xyz") + Record(7, "") + Record(0x8000000000000000u, "a\r\nb"));
    ASSERT_EQ(t.entryCount, 4);
    EXPECT_EQ(SerializeLanguageTable(t), "$00000000006362E1$=xyz\r\n$8000000000000000$=a\r\nb\r\n");
}

class LanguageFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kt_language_test_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                "_" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = (dir_ / "default.lan").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    static void Write(const std::string& path, const std::string& content) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << content;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Translate with a locator that counts its calls.
    std::string Tr(const std::string& text) {
        return TranslateIn(table_, text, [this] {
            ++locates_;
            return path_;
        });
    }

    fs::path dir_;
    std::string path_;
    LanguageTable table_;
    int locates_ = 0;
};

TEST_F(LanguageFileTest, TranslatesFromTheFile) {
    Write(path_, Record(kKeyAbc, "xyz"));
    EXPECT_EQ(Tr("abc"), "xyz");
    EXPECT_EQ(Tr("Abc"), "Abc");
    EXPECT_EQ(Tr("abc"), "xyz");
    EXPECT_EQ(locates_, 1);
    EXPECT_EQ(table_.LanguageFilePath, path_);
}

TEST_F(LanguageFileTest, MultiLineTextsMatchOnlyWithTheSameLineBreaks) {
    Write(path_, Record(Bits(TextKey("RS232-Datenstrom\r\nvom PC zum Controller")), "RS232 data\r\nPC to controller"));
    EXPECT_EQ(Tr("RS232-Datenstrom\r\nvom PC zum Controller"), "RS232 data\r\nPC to controller");
    EXPECT_EQ(Tr("RS232-Datenstrom\nvom PC zum Controller"), "RS232-Datenstrom\nvom PC zum Controller");
}

TEST_F(LanguageFileTest, NewTextsTakeTheNextSlots) {
    Write(path_, "\xEF\xBB\xBF" + Record(1, "eins") + Record(2, "zwei") + Record(3, "drei"));
    EXPECT_EQ(Tr("Schrittbetrieb"), "Schrittbetrieb");
    ASSERT_EQ(table_.entryCount, 5);
    EXPECT_EQ(Bits(table_.keys[4]), Bits(TextKey("Schrittbetrieb")));
    EXPECT_EQ(table_.texts[4], "Schrittbetrieb");
    EXPECT_EQ(Tr("Automatikbetrieb l\xE4uft.."), "Automatikbetrieb l\xE4uft..");
    EXPECT_EQ(table_.texts[5], "Automatikbetrieb l\xE4uft..");
    // Known now: found, not added again.
    EXPECT_EQ(Tr("Schrittbetrieb"), "Schrittbetrieb");
    EXPECT_EQ(table_.entryCount, 6);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(table_.keys[i], i);
    EXPECT_EQ(table_.texts[1], "eins");
    EXPECT_EQ(table_.texts[3], "drei");
}

TEST_F(LanguageFileTest, SaveWritesTheTableBackAndItLoadsTheSame) {
    Write(path_, "Kopf\r\n" + Record(kKeyAbc, "xyz") + Record(9, "") + Record(0xFFFFFFFFFFFFFFFFu, "zwei\r\nZeilen"));
    EXPECT_EQ(Tr("abc"), "xyz");
    EXPECT_EQ(Tr("Gr\xF6\xDF" "e"), "Gr\xF6\xDF" "e");
    EXPECT_EQ(Tr("$SAVE$"), "$SAVE$");
    const std::string expected = "$00000000006362E1$=xyz\r\n"
                                 "$FFFFFFFFFFFFFFFF$=zwei\r\nZeilen\r\n"
                                 "$00000065DFF672C7$=Gr\xF6\xDF" "e\r\n";
    EXPECT_EQ(Read(path_), expected);

    LanguageTable again;
    LoadLanguageTable(again, path_);
    ASSERT_EQ(again.entryCount, 4);
    EXPECT_EQ(SerializeLanguageTable(again), expected);
    EXPECT_EQ(TranslateIn(again, "Gr\xF6\xDF" "e", nullptr), "Gr\xF6\xDF" "e");
    EXPECT_EQ(again.entryCount, 4);
}

TEST_F(LanguageFileTest, SaveAsFirstCallLoadsFirst) {
    Write(path_, "Kopf\r\n" + Record(kKeyAbc, "xyz"));
    EXPECT_EQ(Tr("$SAVE$"), "$SAVE$");
    EXPECT_EQ(locates_, 1);
    EXPECT_EQ(Read(path_), Record(kKeyAbc, "xyz"));
}

TEST_F(LanguageFileTest, NewReloadsAndIsCollectedItself) {
    Write(path_, Record(kKeyAbc, "xyz"));
    EXPECT_EQ(Tr("abc"), "xyz");
    EXPECT_EQ(Tr("neu"), "neu");
    Write(path_, Record(kKeyAbc, "uvw"));
    EXPECT_EQ(Tr("abc"), "xyz");
    EXPECT_EQ(Tr("$NEW$"), "$NEW$");
    EXPECT_EQ(locates_, 2);
    EXPECT_EQ(Tr("abc"), "uvw");
    // The collected "neu" went with the old table; "$NEW$" took the next slot.
    ASSERT_EQ(table_.entryCount, 3);
    EXPECT_EQ(Bits(table_.keys[2]), Bits(TextKey("$NEW$")));
    EXPECT_EQ(table_.texts[2], "$NEW$");
}

TEST_F(LanguageFileTest, NoFileSwitchesTranslationOffForGood) {
    path_ = (dir_ / "fehlt.lan").string();
    EXPECT_EQ(Tr(""), "");
    EXPECT_EQ(locates_, 0);
    EXPECT_FALSE(table_.loaded);
    EXPECT_EQ(Tr("Schrittbetrieb"), "Schrittbetrieb");
    EXPECT_EQ(table_.entryCount, -1);
    EXPECT_EQ(locates_, 1);
    Write(path_, Record(Bits(TextKey("Schrittbetrieb")), "Step mode"));
    EXPECT_EQ(Tr("$NEW$"), "$NEW$");
    EXPECT_EQ(Tr("Schrittbetrieb"), "Schrittbetrieb");
    EXPECT_EQ(Tr("$SAVE$"), "$SAVE$");
    EXPECT_EQ(locates_, 1);
    EXPECT_EQ(Read(path_), Record(Bits(TextKey("Schrittbetrieb")), "Step mode"));
}

TEST_F(LanguageFileTest, EmptyTextLoadsNothing) {
    Write(path_, Record(kKeyAbc, "xyz"));
    EXPECT_EQ(Tr(""), "");
    EXPECT_EQ(locates_, 0);
    EXPECT_FALSE(table_.loaded);
}

TEST_F(LanguageFileTest, UnreadableFilesCountAsMissing) {
    LoadLanguageTable(table_, dir_.string());  // a directory
    EXPECT_EQ(table_.entryCount, -1);
    LoadLanguageTable(table_, "");
    EXPECT_EQ(table_.entryCount, -1);
    Write(path_, std::string(kLanguageFileMaxBytes + 1, ' '));
    LoadLanguageTable(table_, path_);
    EXPECT_EQ(table_.entryCount, -1);
    EXPECT_TRUE(table_.loaded);
}

TEST_F(LanguageFileTest, EmptyFileGivesAnEmptyTable) {
    Write(path_, "");
    EXPECT_EQ(Tr("abc"), "abc");
    EXPECT_EQ(table_.entryCount, 2);
    EXPECT_EQ(Tr("$SAVE$"), "$SAVE$");
    EXPECT_EQ(Read(path_), Record(kKeyAbc, "abc"));
}

TEST_F(LanguageFileTest, SaveReportsFailure) {
    LanguageTable t;
    ParseLanguageFile(t, Record(kKeyAbc, "xyz"));
    EXPECT_FALSE(SaveLanguageTable(t, (dir_ / "kein" / "ordner.lan").string()));
    EXPECT_TRUE(SaveLanguageTable(t, path_));
    EXPECT_EQ(Read(path_), Record(kKeyAbc, "xyz"));
    // A switched-off table leaves the file alone.
    t.entryCount = -1;
    EXPECT_FALSE(SaveLanguageTable(t, path_));
    EXPECT_EQ(Read(path_), Record(kKeyAbc, "xyz"));
}

TEST(LanguageFilePathFor, DirectoryAndNameWithSingleBackslashes) {
    std::string asked;
    const auto exists = [&asked](const std::string& p) {
        asked = p;
        return true;
    };
    EXPECT_EQ(LanguageFilePathFor("C:\\KT\\config\\Lang\\", "english.lan", "C:\\KT", exists),
              "C:\\KT\\config\\Lang\\english.lan");
    // The default directory in a drive's root: "C:\" + "\config\Lang\".
    EXPECT_EQ(DefaultLanguageDir("C:\\"), "C:\\\\config\\Lang\\");
    EXPECT_EQ(LanguageFilePathFor(DefaultLanguageDir("C:\\"), kDefaultLanguageFile, "C:\\", exists),
              "C:\\config\\Lang\\default.lan");
    EXPECT_EQ(asked, "C:\\config\\Lang\\default.lan");
    // One pass, as a text replace does: three backslashes become two, four become two.
    EXPECT_EQ(LanguageFilePathFor("D:\\\\\\a\\\\\\\\", "b.lan", "C:\\", exists), "D:\\\\a\\\\b.lan");
    // A network path keeps its leading pair.
    EXPECT_EQ(LanguageFilePathFor("\\\\srv\\share\\\\lang\\", "b.lan", "C:\\", exists), "\\\\srv\\share\\lang\\b.lan");
}

TEST(LanguageFilePathFor, FallsBackToTheCurrentDirectory) {
    const auto none = [](const std::string&) { return false; };
    EXPECT_EQ(LanguageFilePathFor("C:\\KT\\config\\Lang\\", "english.lan", "C:\\KT", none), "C:\\KT\\default.lan");
    EXPECT_EQ(LanguageFilePathFor("X\\", "y", "C:\\", none), "C:\\default.lan");
    EXPECT_EQ(LanguageFilePathFor("X\\", "y", "C:\\", nullptr), "C:\\default.lan");
}

}  // namespace
