// The register table, the setup dialog's info line, the register transfers and the configuration files.
#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include "config/config_file.h"
#include "config/field_info.h"
#include "config/register_table.h"
#include "config/register_transfer.h"
#include "test_files.h"

namespace {

using Ints = std::vector<int>;

FieldSpecTable Specs() {
    FieldSpecTable table;
    for (const RegisterField& f : RegisterFields()) TakeFieldSpec(table, f.id, f.caption);
    return table;
}

FieldSpecTable TableOf(std::initializer_list<std::pair<int, const char*>> specs) {
    FieldSpecTable table;
    for (const auto& [id, spec] : specs) TakeFieldSpec(table, id, std::string("§") + spec);
    return table;
}

// Fields whose registers fall outside 1..10000, or whose bit number is outside 0..7, and two that fit.
FieldSpecTable OutsideFields() {
    return TableOf({{10, "9999,4,0,5"}, {11, "0,1,0,5"}, {12, "9,9,0,0"}, {13, "10000,1,0,5"}, {14, "20,3,0,0"}});
}

TEST(RegisterTable, SpecsRegistersBytesAndTheInfoLine) {
    const FieldSpecTable t = Specs();
    // No mark, or an id outside 1..32000, is no field; only the first mark splits; nothing after it removes the field.
    FieldSpecTable odd;
    const std::tuple<int, const char*, const char*> takes[] = {
        {5, "a§1,1,0,9§b§c", "a"}, {1, "OK§1,1,0,9", "OK"}, {6, "no", "no"}, {0, "§x", "§x"},
        {32001, "§y", "§y"},       {32000, "§z", ""},       {1, "x§", "x"},
    };
    for (const auto& [id, caption, shown] : takes) EXPECT_EQ(TakeFieldSpec(odd, id, caption), shown) << id;
    EXPECT_EQ(std::make_tuple(FieldSpecEntry(odd, 5), FieldSpecEntry(odd, 1), odd.FieldCount),
              std::make_tuple("1,1,0,9§b§c", "", 2));
    ClearFieldSpecs(odd);
    EXPECT_TRUE(odd.SpecTable.empty() && odd.FieldCount == 0) << "cleared";
    // Nothing may point outside the register image, nor wrap into it; the fifth piece is the unit.
    const std::tuple<const char*, int, int, int, int, bool, Ints> specs[] = {
        {"1,2,3,4,mmx§d", 1, 2, 3, 4, true, {1, 2}},
        {"1,2,3,4,,mm", 1, 2, 3, 4, false, {1, 2}},
        {"70000,1,1,2", 65535, 1, 1, 2, false, {}},
        {"-3,1,1,2", 0, 1, 1, 2, false, {}},
        {"9998,4,1,2", 9998, 4, 1, 2, false, {}},
        {"9997,4,1,2", 9997, 4, 1, 2, false, {9997, 9998, 9999, 10000}},
        {"10000,7,0,0", 10000, 7, 0, 0, false, {10000}},
        {"10001,0,0,0", 10001, 0, 0, 0, false, {}},
        {"5,8,0,0", 5, 8, 0, 0, false, {}},
        {"5,-1,0,0", 5, -1, 0, 0, false, {}},
        {"5,5,1,2", 5, 5, 1, 2, false, {}},
        {"5,0,1,2", 5, 0, 1, 2, false, {}},
        {"5,1,-1,0", 5, 1, -1, 0, false, {5}},
    };
    for (const auto& [entry, reg, width, minimum, maximum, mm, registers] : specs) {
        const FieldSpec s = ParseFieldSpec(entry);
        EXPECT_EQ(std::make_tuple(int{s.reg}, s.width, s.minimum, s.maximum, s.mm),
                  std::make_tuple(reg, width, minimum, maximum, mm))
            << entry << ": register, width, minimum, maximum, mm";
        EXPECT_EQ(FieldRegisters(s), registers) << entry;
    }
    // Least significant byte first; joining takes a register's low 8 bits, at most four registers.
    const std::tuple<int32_t, int, std::vector<int32_t>, int32_t> splits[] = {
        {2000000, 4, {128, 132, 30, 0}, 2000000},
        {300, 1, {44}, 44},
        {5, 0, {}, 0},
        {5, 5, {}, 0},
        {INT32_MIN, 4, {0, 0, 0, 128}, INT32_MIN}};
    for (const auto& [value, width, bytes, joined] : splits)
        EXPECT_EQ(std::make_pair(SplitValue(value, width), JoinValue(bytes)), std::make_pair(bytes, joined))
            << value << " over " << width << ": split, joined";
    EXPECT_EQ(std::make_tuple(JoinValue({255, 255, 255, 127}), JoinValue({300, 0}), JoinValue({1, 0, 0, 0, 9})),
              std::make_tuple(INT32_MAX, 44, 1));
    // Entry, bit, BitOf, WithBit on, WithBit off: a bit number outside 0..7 reads 0 and changes nothing.
    const std::tuple<int32_t, int, int, int32_t, int32_t> bits[] = {
        {5, 0, 1, 5, 4},      {5, 1, 0, 7, 5},    {5, 7, 0, 133, 5},   {1, 2, 0, 5, 1},
        {-1, 7, 1, -1, -129}, {-1, 8, 0, -1, -1}, {-1, -1, 0, -1, -1}, {5, 8, 0, 5, 5},
    };
    for (const auto& [entry, bit, value, on, off] : bits)
        EXPECT_EQ(std::make_tuple(BitOf(entry, bit), WithBit(entry, bit, true), WithBit(entry, bit, false)),
                  std::make_tuple(value, on, off))
            << entry << " bit " << bit << ": read, set, cleared";
    // Numbers are rounded, then checked; '+' in range, '-' out of it, ' ' a check box.
    const std::tuple<int, const char*, char, const char*> rows[] = {
        {1171, "12000", '+',
         "KT4180-Register: 10...13 = 12000,  Wertebereich von 0 bis 2000000     ( 12000 HPGL-Schritte = 300.00mm)"},
        {1162, "2.5", '+', "KT4180-Register: 2 = 2,  Wertebereich von 2 bis 125   "},
        {1162, "125", '+', "KT4180-Register: 2 = 125,  Wertebereich von 2 bis 125   "},
        {1173, "-400", '-',
         "KT4180-Register: 14...17 =-400,  Wertebereich von 0 bis 2000000     (-400 HPGL-Schritte = -10.00mm)"},
        {1184, "Debug Zeichen (7/4)", ' ', "KT4180-Register: 7, Bit: 4  direkte Rückgabe aller empfangenen Zeichen"},
    };
    for (const auto& [id, text, mark, line] : rows) {
        const FieldInfo info = MakeFieldInfo(FieldSpecEntry(t, id), text);
        EXPECT_EQ(info.line, line) << id << " " << text;
        EXPECT_EQ(info.numeric ? info.inRange ? '+' : '-' : ' ', mark) << id << " " << text;
    }
    EXPECT_EQ(MakeFieldInfo("65535,2147483647,1,2", "1").line,
              "KT4180-Register: 65535...2147549181 = 1,  Wertebereich von 1 bis 2   ");
    EXPECT_EQ(MakeFieldInfo("", "7").line, "KT4180-Register: 0, Bit: 0  ");
}

// The lines a write sends, "+" after a register whose field goes on: a write cut short does not end there.
std::string WriteLines(const FieldSpecTable& t, const FieldInputs& in) {
    std::string lines;
    for (const RegisterWrite& w : PlanWrite(t, in).writes)
        lines += (lines.empty() ? "" : " ") + WriteLine(w.reg, w.value) + (w.lastOfField ? "" : "+");
    return lines;
}

TEST(RegisterTransfer, WriteAndReadPlansLinesAndProgress) {
    const FieldSpecTable t = Specs();
    FieldInputs in = {{1162, {"12.5"}},  {1165, {"13.5"}}, {1167, {" &h10"}}, {1169, {"6400"}}, {1171, {"2000000"}},
                      {1173, {"12000"}}, {1186, {"0"}},    {1188, {"60"}},    {1190, {"32000"}}};
    for (int n = 1, id = 1200; n <= 9; ++n, id += 10)
        in[id].text = std::to_string(n), in[id + 1].text = std::to_string(10 * n),
        in[id + 2].text = std::to_string(400 * n);
    for (int id : {1174, 1176, 1178, 1181, 1185, 1213, 1384})
        in[id].checked = true;  // 5/0, 6/0, 6/2, 7/6, 7/7, 33/0, 68/1
    // Numbers rounded ties to even, bits of a register joined, every register once, in order.
    EXPECT_EQ(
        WriteLines(t, in),
        "PX2,12 PX3,14 PX4,16 PX5,1 PX6,5 PX7,192 PX8,0+ PX9,25 PX10,128+ PX11,132+ PX12,30+ PX13,0 PX14,224+ "
        "PX15,46+ PX16,0+ PX17,0 PX18,0+ PX19,0+ PX20,0+ PX21,0 PX22,60+ PX23,0 PX24,0+ PX25,125 PX26,1 PX27,10 "
        "PX28,0 PX29,144+ PX30,1 PX31,2 PX32,20 PX33,1 PX34,32+ PX35,3 PX36,3 PX37,30 PX38,0 PX39,176+ PX40,4 PX41,4 "
        "PX42,40 PX43,0 PX44,64+ PX45,6 PX46,5 PX47,50 PX48,0 PX49,208+ PX50,7 PX51,6 PX52,60 PX53,0 PX54,96+ PX55,9 "
        "PX56,7 PX57,70 PX58,0 PX59,240+ PX60,10 PX61,8 PX62,80 PX63,0 PX64,128+ PX65,12 PX66,9 PX67,90 PX68,2 "
        "PX69,16+ PX70,14");
    // The first field out of range, by id, stops the write before anything is sent.
    in[1202].text = "";  // tool 1's depth: empty reads 0, below its minimum 1
    const WritePlan plan = PlanWrite(t, in);
    EXPECT_EQ(plan.rangeMessage,
              "Der Wert (0) im Feld für das/die Register 29\r\nist nicht im erlaubten Bereich (1...32000)\r\n");
    EXPECT_TRUE(!plan.inRange && plan.writes.empty()) << "refused, nothing to send";
    in[1162].text = "99999999999";  // saturates, is refused, never wraps into range
    EXPECT_EQ(PlanWrite(t, in).rangeMessage, RangeMessage(INT32_MAX, 2, 2, 125));
    // Fields whose registers fall outside 1..10000 are never written; unset bits are 0.
    EXPECT_EQ(WriteLines(OutsideFields(), {{10, {"3"}}, {11, {"3"}}, {12, {"", true}}, {13, {"4"}}}),
              "PX20,0 PX10000,4");
    // A read asks for each register once; check boxes sharing one take their value from it.
    const std::vector<ReadStep> steps = PlanRead(t);
    Ints fetched;
    for (const ReadStep& s : steps) fetched.insert(fetched.end(), s.fetch.begin(), s.fetch.end());
    EXPECT_EQ(fetched,
              (Ints{2,  3,  4,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 5,  6,  7,  18, 19, 20, 21, 22, 23, 24,
                    25, 26, 27, 29, 30, 28, 31, 32, 34, 35, 33, 36, 37, 39, 40, 38, 41, 42, 44, 45, 43, 46, 47,
                    49, 50, 48, 51, 52, 54, 55, 53, 56, 57, 59, 60, 58, 61, 62, 64, 65, 63, 66, 67, 69, 70, 68}));
    ASSERT_EQ(steps.size(), 64u);
    EXPECT_EQ(std::make_pair(steps[63].controlId, steps[63].fieldNumber), std::make_pair(1384, 64));
    // 1177 is bit 1 of register 6, already fetched for 1176; 1178 is bit 2.
    EXPECT_EQ(std::make_tuple(steps[8].controlId, steps[8].fetch.size(), steps[8].valueRegisters.at(0)),
              std::make_tuple(1177, size_t{0}, 6));
    EXPECT_EQ(std::make_tuple(ReadFieldChecked(steps[8].spec, {5}), ReadFieldChecked(steps[9].spec, {5}),
                              ReadFieldChecked(steps[9].spec, {})),
              std::make_tuple(false, true, false));
    // Verify does not round.
    const std::tuple<const char*, int32_t, bool> matches[] = {
        {"12.5", 12, false}, {"12.5", 13, false}, {" 12", 12, true}, {"", 0, true}};
    for (const auto& [text, value, same] : matches)
        EXPECT_EQ(TextMatchesValue(text, value), same) << text << " " << value;
    // Fields whose registers fall outside 1..10000 are never read; progress counts every field.
    const std::vector<ReadStep> oddSteps = PlanRead(OutsideFields());
    ASSERT_EQ(oddSteps.size(), 2u);
    EXPECT_EQ(std::make_pair(oddSteps[0].fetch, oddSteps[0].fieldNumber), std::make_pair(Ints{10000}, 4));

    EXPECT_EQ(TransferProgressText(ReadLine(2), TransferPercent(1, 64)), "PX0,2" + std::string(15, ' ') + "   1.56%");
    EXPECT_EQ(TransferProgressText("PX0,12345678901234567890", 0), "PX0,12345678901234567890   0.00%");
    const std::pair<double, int> bars[] = {
        {TransferPercent(69, 69), 100}, {TransferPercent(3, 0), 0}, {12.5, 12}, {250, 100}, {-3, 0}};
    for (const auto& [percent, position] : bars) EXPECT_EQ(ProgressBarPosition(percent), position) << percent;
}

std::string Reread(const std::string& path, ConfigRead expected = ConfigRead::Ok) {
    std::string text = "x";
    EXPECT_EQ(ReadConfigFile(path, text), expected) << path;
    return text;
}

TEST(ConfigFile, SaveWritesEveryFieldAndLoadReadsThemBack) {
    const FieldSpecTable t =
        TableOf({{1162, "2,1,2,125"}, {1165, "3,1,5,100"}, {1167, "4,1,5,100"}, {1176, "6,0,0,0"}, {1177, "6,1,0,0"}});
    const FieldInputs in = {{1162, {"20"}}, {1165, {"abc"}}, {1176, {"", true}}};
    const std::string saved = "[CO]\r\n01162=20\r\n01165=abc\r\n01167=\r\n01176= 1\r\n01177= 0\r\n";
    const std::string path = ScratchPath("new.cfg");
    std::remove(path.c_str());
    ASSERT_TRUE(WriteConfigFile(path, ConfigEntries(t, in)));
    EXPECT_EQ(Reread(path), saved);
    // Loaded and saved again, every field comes back as it was.
    ASSERT_TRUE(WriteConfigFile(path, ConfigEntries(t, FieldsFromConfigText(t, saved))));
    EXPECT_EQ(Reread(path), saved);
    // A missing key empties a field, only 1 checks a box; a text is saved as one line of at most 256 characters.
    const FieldInputs sparse = FieldsFromConfigText(t, "[CO]\r\n01165=7\r\n01176=1\r\n01177=2\r\n");
    EXPECT_TRUE(sparse.at(1167).text.empty() && !sparse.at(1177).checked);
    const auto entries = ConfigEntries(t, {{1162, {std::string(300, '7')}}, {1165, {"12\r\n[Evil]"}}});
    EXPECT_EQ(entries[0].value + "|" + entries[1].value, std::string(256, '7') + "|12");
    // The new file takes the old one's place only when complete; a refused replacement keeps it.
    WriteFile(path, "[Keep]\r\nx=1\r\n[CO]\r\n01162=1\r\n");
    EXPECT_FALSE(WriteConfigFile(path, {{"01162", "2"}}, [](const std::string&, const std::string&) { return false; }));
    EXPECT_FALSE(std::ifstream(path + ".tmp").good());
    EXPECT_EQ(Reread(path), "[Keep]\r\nx=1\r\n[CO]\r\n01162=1\r\n");
    // Saved as UTF-16, either byte order: read as text; a save writes all back as ANSI, "?" beyond the code page.
    for (const bool big : {false, true}) {
        std::string utf16 = big ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : std::u16string(u"[K]\r\nx=Größe€😀\r\n[CO]\r\n01162=7\r\n"))
            utf16 += big ? std::string{char(unit >> 8), char(unit)} : std::string{char(unit), char(unit >> 8)};
        WriteFile(path, utf16);
        EXPECT_EQ(FieldsFromConfigText(t, Reread(path)).at(1162).text, "7") << big;
        ASSERT_TRUE(WriteConfigFile(path, {{"01162", "8"}}));
        EXPECT_EQ(FileText(path), "[K]\r\nx=Größe€?\r\n[CO]\r\n01162=8\r\n") << big;
    }
    std::remove(path.c_str());
}

TEST(ConfigFile, ProfileRules) {
    const std::string ini = "top=0\r\n[A]\r\nKey = \"quoted\" \r\nkey=second\r\nlong=" + std::string(300, 'x') +
                            "\r\n[ b ]\nk=x y\n[CO]\r\nnoequals\r\nq=\"\r\nqq=\"\"\r\n[a]\r\nlater=1\r\n";
    // Blanks and one pair of quotes go, names ignore case, the first key and section count; "top" is in none.
    const std::tuple<const char*, int, const char*, std::string> values[] = {
        {"a", kConfigValueMaxRead, "key", "quoted"},
        {"a", kConfigValueMaxRead, "long", std::string(kConfigValueMaxRead, 'x')},
        {"B", kConfigValueMaxRead, "k", "x y"},
        {"CO", kConfigValueMaxRead, "q", "\""},
        {"CO", kConfigValueMaxRead, "qq", ""},
        {" A", 3, "key", "quo"},
        {"A", -1, "key", ""},
    };
    for (const auto& [section, most, key, value] : values)
        EXPECT_EQ(IniGetValues(ini, section, most).at(key), value) << section << " " << key << " " << most;
    for (const auto& [section, size] : {std::pair{"a", 2u}, {"CO", 2u}, {"Z", 0u}})
        EXPECT_EQ(IniGetValues(ini, section).size(), size) << section;
    // Set in place; new keys after the section's last line, in order; other bytes kept.
    const std::tuple<std::string, std::vector<ConfigEntry>, std::string> sets[] = {
        {"[Other]\r\nk=v", {{"01162", "20"}}, "[Other]\r\nk=v\r\n[CO]\r\n01162=20\r\n"},
        {"", {{"01162", ""}}, "[CO]\r\n01162=\r\n"},
        {"[CO]\r\n01162=1", {{"01165", "5"}}, "[CO]\r\n01162=1\r\n01165=5\r\n"},
        {"[CO]", {{"01162", "a\r\nb"}}, "[CO]\r\n01162=a\r\n"},
        {"; note\n[co]\n 01165 = 3\n\n[X]\r\n01162=9\r\n",
         {{"01162", "20"}, {"01165", "50"}, {"01167", "7"}},
         "; note\n[co]\n01165=50\n01162=20\r\n01167=7\r\n\n[X]\r\n01162=9\r\n"},
        {"\xEF\xBB\xBF[CO]\r\n01162=1\r\n", {{"01162", "2"}}, "\xEF\xBB\xBF[CO]\r\n01162=2\r\n"},
    };
    for (const auto& [before, set, after] : sets) {
        std::string text = before;
        IniSetValues(text, "CO", set);
        EXPECT_EQ(text, after) << before;
    }
}

TEST(ConfigFile, PathsKeysAndFailures) {
    EXPECT_EQ(ResolveControllerFilePath("", "C:\\"), "C:\\default.cfg");
    EXPECT_EQ(ResolveControllerFilePath("D:\\\\a\\\\b.cfg", ""), "D:\\a\\b.cfg");
    const std::pair<int, const char*> keys[] = {{1162, "01162"}, {7, "00007"}, {0, "00000"}, {-5, "-5"}};
    for (const auto& [id, key] : keys) EXPECT_EQ(ConfigKey(id), key) << id;
    // A file that cannot be read whole is neither loaded nor overwritten, and a refused read leaves no text.
    const std::string dir = testing::TempDir(), huge = ScratchPath("huge.cfg");
    WriteFile(huge, std::string(kConfigFileMaxBytes + 1, ';'));
    const std::pair<std::string, ConfigRead> failures[] = {{dir + "kt_no_such_folder/a.cfg", ConfigRead::Missing},
                                                           {"", ConfigRead::Missing},
                                                           {dir, ConfigRead::Unreadable},
                                                           {huge, ConfigRead::TooLarge}};
    for (const auto& [path, why] : failures) {
        EXPECT_FALSE(WriteConfigFile(path, {{"1", "2"}})) << path;
        EXPECT_EQ(Reread(path, why), "") << path;
    }
    std::remove(huge.c_str());
    // The messages name the file.
    EXPECT_EQ(SaveFailedMessage("C:\\a.cfg"), "Die Konfiguration konnte nicht gespeichert werden:\r\nC:\\a.cfg");
    EXPECT_EQ(
        LoadFailedMessage(ConfigRead::TooLarge, "C:\\b.cfg"),
        "Die Datei ist zu groß für eine Controller-Konfiguration:\r\nC:\\b.cfg\r\nDie Felder bleiben unverändert.");
    EXPECT_EQ(LoadFailedMessage(ConfigRead::Unreadable, "C:\\c.cfg"),
              "Die Datei konnte nicht gelesen werden:\r\nC:\\c.cfg\r\nDie Felder bleiben unverändert.");
}

}  // namespace
