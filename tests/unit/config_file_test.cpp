#include "config/config_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "base/paths.h"

namespace {

const FieldSpecTable& Table() {
    static const FieldSpecTable table = BuildFieldSpecs();
    return table;
}

FieldInputs SomeInputs() {
    return {{1162, {"20"}},  {1165, {"50"}},   {1169, {"abc"}},         {1171, {"2000000"}},
            {1173, {"12.5"}}, {1174, {"", true}}, {1200, {"3"}}, {1384, {"", true}}};
}

// The whole file a save of SomeInputs() writes into a file that did not exist.
const char* const kNewFile =
    "[CO]\r\n01162=20\r\n01165=50\r\n01167=\r\n"
    "01169=abc\r\n01171=2000000\r\n01173=12.5\r\n01174= 1\r\n"
    "01176= 0\r\n01177= 0\r\n01178= 0\r\n01179= 0\r\n"
    "01180= 0\r\n01181= 0\r\n01182= 0\r\n01184= 0\r\n"
    "01185= 0\r\n01186=\r\n01188=\r\n01190=\r\n"
    "01200=3\r\n01201=\r\n01202=\r\n01203= 0\r\n"
    "01204= 0\r\n01210=\r\n01211=\r\n01212=\r\n"
    "01213= 0\r\n01214= 0\r\n01220=\r\n01221=\r\n"
    "01222=\r\n01223= 0\r\n01224= 0\r\n01230=\r\n"
    "01231=\r\n01232=\r\n01233= 0\r\n01234= 0\r\n"
    "01240=\r\n01241=\r\n01242=\r\n01243= 0\r\n"
    "01244= 0\r\n01250=\r\n01251=\r\n01252=\r\n"
    "01253= 0\r\n01254= 0\r\n01260=\r\n01261=\r\n"
    "01262=\r\n01263= 0\r\n01264= 0\r\n01270=\r\n"
    "01271=\r\n01272=\r\n01273= 0\r\n01274= 0\r\n"
    "01280=\r\n01281=\r\n01282=\r\n01283= 0\r\n"
    "01384= 1\r\n";

std::string TempPath(const std::string& name) {
    const std::string path = testing::TempDir() + name;
    std::remove(path.c_str());
    return path;
}

bool PutFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

TEST(ConfigFile, DefaultPathAndDoubledBackslashes) {
    EXPECT_EQ(ResolveControllerFilePath("", "C:\\Work"), "C:\\Work\\default.cfg");
    EXPECT_EQ(ResolveControllerFilePath("", "C:\\"), "C:\\default.cfg");  // a drive root
    EXPECT_EQ(ResolveControllerFilePath("D:\\cfg\\mill.cfg", "C:\\"), "D:\\cfg\\mill.cfg");
    EXPECT_EQ(ResolveControllerFilePath("D:\\\\a\\\\b.cfg", ""), "D:\\a\\b.cfg");
    EXPECT_EQ(CollapseDoubleBackslashes("C:\\\\\\x"), "C:\\\\x");  // pairs, left to right
    // A network folder keeps the two backslashes that start it.
    EXPECT_EQ(ResolveControllerFilePath("", "\\\\server\\share"), "\\\\server\\share\\default.cfg");
    EXPECT_EQ(ResolveControllerFilePath("", "\\\\server\\share\\"), "\\\\server\\share\\default.cfg");

    EXPECT_EQ(FileNamePart("C:\\Work\\default.cfg", "\\:"), "default.cfg");
    EXPECT_EQ(FileNamePart("C:mill.cfg", "\\:"), "mill.cfg");
    EXPECT_EQ(FileNamePart("mill.cfg", "\\:"), "mill.cfg");
    EXPECT_EQ(FileNamePart("C:\\Work\\", "\\:"), "");

    EXPECT_EQ(ConfigKey(1162), "01162");
    EXPECT_EQ(ConfigKey(1384), "01384");
    EXPECT_EQ(ConfigKey(7), "00007");
    EXPECT_EQ(ConfigKey(32000), "32000");
}

TEST(ConfigFile, NewFileBytes) {
    const std::vector<ConfigEntry> entries = ConfigEntries(Table(), SomeInputs());
    ASSERT_EQ(entries.size(), 64u);
    EXPECT_EQ(entries[6].key, "01174");
    EXPECT_EQ(entries[6].value, " 1");

    const std::string path = TempPath("kt_cfg_new.cfg");
    ASSERT_TRUE(WriteConfigFile(path, entries));
    std::string bytes;
    ASSERT_EQ(ReadConfigFile(path, bytes), ConfigRead::Ok);
    EXPECT_EQ(bytes, kNewFile);

    // Saving the same fields again changes nothing.
    ASSERT_TRUE(WriteConfigFile(path, entries));
    ASSERT_EQ(ReadConfigFile(path, bytes), ConfigRead::Ok);
    EXPECT_EQ(bytes, kNewFile);
    std::remove(path.c_str());
}

TEST(ConfigFile, SaveIntoAnExistingFileKeepsEverythingElse) {
    const std::string before =
        "; kept\r\n[Other]\r\nk=v\r\n01162=99\r\n\r\n"
        "[co]\r\n 01162 = old\r\nmine=1\r\n\r\n"
        "[Tail]\nz = \"q\" \n";
    const std::string path = TempPath("kt_cfg_existing.cfg");
    ASSERT_TRUE(PutFile(path, before));
    ASSERT_TRUE(WriteConfigFile(path, {{"01162", "20"}, {"01165", "50"}, {"01174", " 1"}}));
    std::string after;
    ASSERT_EQ(ReadConfigFile(path, after), ConfigRead::Ok);
    // The key is set in place, new keys follow the section's last line, blank lines, other
    // sections (one with the same key) and their line ends stay as they were.
    EXPECT_EQ(after,
              "; kept\r\n[Other]\r\nk=v\r\n01162=99\r\n\r\n"
              "[co]\r\n01162=20\r\nmine=1\r\n01165=50\r\n01174= 1\r\n\r\n"
              "[Tail]\nz = \"q\" \n");
    std::remove(path.c_str());
}

TEST(ConfigFile, LoadAppliesTextsAsTheyAreAndChecksOnlyOne) {
    const FieldInputs loaded = FieldsFromConfigText(Table(), kNewFile);
    ASSERT_EQ(loaded.size(), 64u);
    EXPECT_EQ(loaded.at(1162).text, "20");
    EXPECT_EQ(loaded.at(1169).text, "abc");
    EXPECT_EQ(loaded.at(1173).text, "12.5");
    EXPECT_EQ(loaded.at(1167).text, "");
    EXPECT_TRUE(loaded.at(1174).checked);
    EXPECT_TRUE(loaded.at(1384).checked);
    EXPECT_FALSE(loaded.at(1176).checked);

    // A missing key empties a text box and clears a check box; so does an unreadable file.
    const FieldInputs sparse = FieldsFromConfigText(Table(), "[CO]\r\n01165=7\r\n01176=1\r\n01177=2\r\n");
    EXPECT_EQ(sparse.at(1162).text, "");
    EXPECT_EQ(sparse.at(1165).text, "7");
    EXPECT_TRUE(sparse.at(1176).checked);   // "1" as well as " 1"
    EXPECT_FALSE(sparse.at(1177).checked);  // only 1 checks
    for (const auto& [id, input] : FieldsFromConfigText(Table(), "")) {
        EXPECT_EQ(input.text, "") << id;
        EXPECT_FALSE(input.checked) << id;
    }
    std::string text;
    EXPECT_EQ(ReadConfigFile(TempPath("kt_cfg_missing.cfg"), text), ConfigRead::Missing);
    EXPECT_EQ(text, "");
}

TEST(ConfigFile, ProfileLookupRules) {
    const std::string ini =
        "top=0\r\n[A]\r\nKey = \"quoted\" \r\nkey=second\r\nlong=" + std::string(300, 'x') +
        "\r\n[ b ]\nk=  x y\t\n[CO]\r\nnoequals\r\n[a]\r\nlater=1\r\n";
    const IniValues a = IniGetValues(ini, "a");
    EXPECT_EQ(a.at("key"), "quoted");  // blanks and one pair of quotes go, the first key wins
    EXPECT_EQ(a.at("long").size(), 255u);
    EXPECT_EQ(a.count("top"), 0u);    // before any section
    EXPECT_EQ(a.count("later"), 0u);  // the first section of a name counts
    EXPECT_EQ(IniGetValues(ini, "B").at("k"), "x y");
    EXPECT_TRUE(IniGetValues(ini, "CO").empty());
    EXPECT_TRUE(IniGetValues(ini, "Z").empty());
    EXPECT_EQ(IniGetValues("[A]\r\nq=\"\r\n", "A").at("q"), "\"");  // a lone quote is kept
    // A byte-order mark before the first section does not hide it.
    EXPECT_EQ(IniGetValues("\xEF\xBB\xBF[CO]\r\n01162=20\r\n", "CO").at("01162"), "20");
}

TEST(ConfigFile, ProfileWritesChangeOnlyTheirLines) {
    struct Case {
        std::string before;
        std::vector<ConfigEntry> set;
        std::string after;
    };
    const Case cases[] = {
        {"[Other]\r\nk=v", {{"01162", "20"}}, "[Other]\r\nk=v\r\n[CO]\r\n01162=20\r\n"},
        {"[CO]\r\n01162=1", {{"01165", "5"}}, "[CO]\r\n01162=1\r\n01165=5\r\n"},
        {"[CO]", {{"01162", "a\r\nb"}}, "[CO]\r\n01162=a\r\n"},  // a line break would start a new line
        {"", {{"01162", ""}}, "[CO]\r\n01162=\r\n"},
        // In place, new keys after the section's last line in the order given, other bytes kept.
        {"; note\n[co]\n 01165 = 3\n\n[X]\r\n01162=9\r\n", {{"01162", "20"}, {"01165", "50"}, {"01167", "7"}},
         "; note\n[co]\n01165=50\n01162=20\r\n01167=7\r\n\n[X]\r\n01162=9\r\n"},
        // The mark stays, and the section behind it is found: no second [CO].
        {"\xEF\xBB\xBF[CO]\r\n01162=1\r\n", {{"01162", "2"}}, "\xEF\xBB\xBF[CO]\r\n01162=2\r\n"},
    };
    for (const Case& c : cases) {
        std::string text = c.before;
        IniSetValues(text, "CO", c.set);
        EXPECT_EQ(text, c.after) << c.before;
    }
}

TEST(ConfigFile, SavedTextsAreCutToOneLineOf256) {
    FieldInputs in;
    in[1162].text = std::string(300, '7');
    in[1165].text = "12\r\n[Evil]";
    const std::vector<ConfigEntry> entries = ConfigEntries(Table(), in);
    EXPECT_EQ(entries[0].value, std::string(256, '7'));
    EXPECT_EQ(entries[1].value, "12");
}

TEST(ConfigFile, FailuresAreReportedAndLeaveTheOldFileWhole) {
    const std::string dir = testing::TempDir();
    EXPECT_FALSE(WriteConfigFile(dir + "kt_no_such_folder/default.cfg", {{"01162", "20"}}));
    std::string text;
    EXPECT_EQ(ReadConfigFile(dir + "kt_no_such_folder/default.cfg", text), ConfigRead::Missing);
    EXPECT_FALSE(WriteConfigFile(dir, {{"01162", "20"}}));  // a folder, not a file
    EXPECT_FALSE(WriteConfigFile("", {{"01162", "20"}}));
    const std::string message = SaveFailedMessage("C:\\Work\\default.cfg");
    EXPECT_NE(message.find("C:\\Work\\default.cfg"), std::string::npos);
    EXPECT_EQ(message.find("Gespeichert"), std::string::npos);

    // The new file replaces the old one only when complete; a refused replacement keeps it.
    const std::string path = TempPath("kt_cfg_whole.cfg");
    ASSERT_TRUE(PutFile(path, "[Keep]\r\nx=1\r\n[CO]\r\n01162=1\r\n"));
    EXPECT_FALSE(WriteConfigFile(path, {{"01162", "2"}}, [](const std::string&, const std::string&) { return false; }));
    ASSERT_EQ(ReadConfigFile(path, text), ConfigRead::Ok);
    EXPECT_EQ(text, "[Keep]\r\nx=1\r\n[CO]\r\n01162=1\r\n");
    EXPECT_EQ(ReadConfigFile(path + ".tmp", text), ConfigRead::Missing);
    EXPECT_TRUE(WriteConfigFile(path, {{"01162", "2"}}));
    ASSERT_EQ(ReadConfigFile(path, text), ConfigRead::Ok);
    EXPECT_EQ(text, "[Keep]\r\nx=1\r\n[CO]\r\n01162=2\r\n");

    // A file beyond any real configuration is refused, never read whole, and not overwritten.
    const std::string huge = TempPath("kt_cfg_huge.cfg");
    ASSERT_TRUE(PutFile(huge, std::string(kConfigFileMaxBytes + 1, ';')));
    EXPECT_EQ(ReadConfigFile(huge, text), ConfigRead::TooLarge);
    EXPECT_EQ(text, "");
    EXPECT_FALSE(WriteConfigFile(huge, {{"01162", "2"}}));
    EXPECT_NE(LoadFailedMessage(ConfigRead::TooLarge, huge).find(huge), std::string::npos);
    std::remove(huge.c_str());
}

}  // namespace
