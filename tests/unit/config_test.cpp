// The register table, the setup dialog's info line, the register transfers and the configuration files.
#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <fstream>
#include <tuple>

#include "config/config_file.h"
#include "config/field_info.h"
#include "config/register_table.h"
#include "config/register_transfer.h"

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

std::string Joined(const std::vector<std::string>& parts) {
    std::string s;
    for (const std::string& p : parts) s += (&p == &parts[0] ? "" : " ") + p;
    return s;
}

TEST(RegisterTable, SpecsRegisterBytesAndTheInfoLine) {
    const FieldSpecTable t = Specs();
    // Windows-1252 bytes: "§" is A7, "ü" FC, "ä" E4. Only the first mark splits; commas and "%" after it are text.
    EXPECT_EQ(
        ParseFieldSpec(FieldSpecEntry(t, 1165)).description + "|" +
            ParseFieldSpec(FieldSpecEntry(t, 1210)).description + "|" +
            ParseFieldSpec(FieldSpecEntry(t, 1221)).description,
        "Pulsbreite (Einschaltzeit in %), wenn Motore drehen|Z+  =  Z- / Faktor (Eintauchtempoveringerung Werkzeug 2)|"
        "XY - Fr\xE4stempoverringerung");
    FieldSpecTable odd;  // no mark, or an id outside 1..32000, is no field; nothing after the mark removes it
    EXPECT_EQ(Joined({TakeFieldSpec(odd, 5, "a§1,1,0,9§b§c"), FieldSpecEntry(odd, 5),
                      TakeFieldSpec(odd, 1, "OK§1,1,0,9"), TakeFieldSpec(odd, 6, "no"), TakeFieldSpec(odd, 0, "§x"),
                      TakeFieldSpec(odd, 32001, "§y"), TakeFieldSpec(odd, 32000, "§z"), TakeFieldSpec(odd, 5, "x§"),
                      FieldSpecEntry(odd, 5), std::to_string(odd.FieldCount)}),
              "a 1,1,0,9§b§c OK no §x §y  x  2");
    ClearFieldSpecs(odd);
    EXPECT_TRUE(odd.SpecTable.empty() && odd.FieldCount == 0);
    // Nothing may point outside the register image, nor wrap into it; the fifth piece is the unit.
    for (const auto& [entry, parsed] :
         std::initializer_list<std::pair<const char*, const char*>>{{"1,2,3,4,mmx§d", "1 2 3 4 mm: 1 2"},
                                                                    {"1,2,3,4,,mm", "1 2 3 4: 1 2"},
                                                                    {"70000,1,1,2", "65535 1 1 2:"},
                                                                    {"-3,1,1,2", "0 1 1 2:"},
                                                                    {"9998,4,1,2", "9998 4 1 2:"},
                                                                    {"9997,4,1,2", "9997 4 1 2: 9997 9998 9999 10000"},
                                                                    {"10000,7,0,0", "10000 7 0 0: 10000"},
                                                                    {"10001,0,0,0", "10001 0 0 0:"},
                                                                    {"5,8,0,0", "5 8 0 0:"},
                                                                    {"5,-1,0,0", "5 -1 0 0:"},
                                                                    {"5,5,1,2", "5 5 1 2:"},
                                                                    {"5,0,1,2", "5 0 1 2:"},
                                                                    {"5,1,-1,0", "5 1 -1 0: 5"}}) {
        const FieldSpec s = ParseFieldSpec(entry);
        std::string regs = Joined(
            {std::to_string(s.reg), std::to_string(s.width), std::to_string(s.minimum), std::to_string(s.maximum)});
        regs += s.mm ? " mm:" : ":";
        for (int r : FieldRegisters(s)) regs += " " + std::to_string(r);
        EXPECT_EQ(regs, parsed);
        EXPECT_EQ(FieldFitsRegisters(s), regs.back() != ':') << entry;
    }
    // Least significant byte first; joining takes a register's low 8 bits, at most four registers.
    for (const auto& [value, width, split] :
         std::initializer_list<std::tuple<int32_t, int, std::vector<int32_t>>>{{2000000, 4, {128, 132, 30, 0}},
                                                                               {32000, 2, {0, 125}},
                                                                               {300, 1, {44}},
                                                                               {5, 0, {}},
                                                                               {5, 5, {}},
                                                                               {-1, 4, {255, 255, 255, 255}},
                                                                               {INT32_MIN, 4, {0, 0, 0, 128}}}) {
        EXPECT_EQ(SplitValue(value, width), split) << value;
        EXPECT_EQ(JoinValue(split), split.size() > 1 ? value
                                    : split.empty()  ? 0
                                                     : 44)
            << value;  // 300 left its low byte
    }
    EXPECT_EQ(
        (Ints{JoinValue({255, 255, 255, 127}), JoinValue({300, 0}), JoinValue({1, 0, 0, 0, 9}), BitOf(5, 0),
              BitOf(5, 1), BitOf(-1, 7), BitOf(-1, 8), BitOf(-1, -1), WithBit(5, 0, false),
              WithBit(WithBit(1, 2, true), 1, false), WithBit(5, 7, true), WithBit(5, 8, true), WithBit(5, -1, true)}),
        (Ints{INT32_MAX, 44, 1, 1, 0, 1, 0, 0, 4, 5, 133, 5, 5}));
    // The info line: in range (+), out of it (-) or a check box ( ); numbers are rounded, then checked.
    for (const auto& [id, text, line] : std::initializer_list<std::tuple<int, const char*, const char*>>{
             {1171, "12000",
              "+KT4180-Register: 10...13 = 12000,  Wertebereich von 0 bis 2000000     ( 12000 HPGL-Schritte = "
              "300.00mm)"},
             {1162, "1", "-KT4180-Register: 2 = 1,  Wertebereich von 2 bis 125   "},
             {1162, "2.5", "+KT4180-Register: 2 = 2,  Wertebereich von 2 bis 125   "},
             {1162, "125", "+KT4180-Register: 2 = 125,  Wertebereich von 2 bis 125   "},
             {1173, "-400",
              "-KT4180-Register: 14...17 =-400,  Wertebereich von 0 bis 2000000     (-400 HPGL-Schritte = -10.00mm)"},
             {1184, "Debug Zeichen (7/4)",
              " KT4180-Register: 7, Bit: 4  direkte R\xFC"
              "ckgabe aller empfangenen Zeichen"}}) {
        const FieldInfo info = MakeFieldInfo(FieldSpecEntry(t, id), text);
        EXPECT_EQ((info.numeric ? info.inRange ? "+" : "-" : " ") + info.line, line);
    }
    EXPECT_EQ(MakeFieldInfo("65535,2147483647,1,2", "1").line + "|" + MakeFieldInfo("", "7").line,
              "KT4180-Register: 65535...2147549181 = 1,  Wertebereich von 1 bis 2   |KT4180-Register: 0, Bit: 0  ");
}

std::string WriteLines(const FieldSpecTable& t, const FieldInputs& in) {
    std::vector<std::string> lines;
    for (const RegisterWrite& w : PlanWrite(t, in).writes) lines.push_back(WriteLine(w.reg, w.value));
    return Joined(lines);
}

TEST(RegisterTransfer, PlansAndLines) {
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
        "PX2,12 PX3,14 PX4,16 PX5,1 PX6,5 PX7,192 PX8,0 PX9,25 PX10,128 PX11,132 PX12,30 PX13,0 PX14,224 PX15,46 "
        "PX16,0 PX17,0 PX18,0 PX19,0 PX20,0 PX21,0 PX22,60 PX23,0 PX24,0 PX25,125 PX26,1 PX27,10 PX28,0 PX29,144 "
        "PX30,1 PX31,2 PX32,20 PX33,1 PX34,32 PX35,3 PX36,3 PX37,30 PX38,0 PX39,176 PX40,4 PX41,4 PX42,40 PX43,0 "
        "PX44,64 PX45,6 PX46,5 PX47,50 PX48,0 PX49,208 PX50,7 PX51,6 PX52,60 PX53,0 PX54,96 PX55,9 PX56,7 PX57,70 "
        "PX58,0 PX59,240 PX60,10 PX61,8 PX62,80 PX63,0 PX64,128 PX65,12 PX66,9 PX67,90 PX68,2 PX69,16 PX70,14");
    // The first field out of range, by id, stops the write before anything is sent.
    in[1202].text = "";  // tool 1's depth: empty reads 0, below its minimum 1
    const WritePlan plan = PlanWrite(t, in);
    EXPECT_EQ(plan.rangeMessage + std::to_string(plan.inRange) + std::to_string(plan.writes.size()),
              "Der Wert (0) im Feld f\xFCr das/die Register 29\r\nist nicht im erlaubten Bereich (1...32000)\r\n00");
    in[1162].text = "99999999999";  // saturates, is refused, never wraps into range
    EXPECT_EQ(PlanWrite(t, in).rangeMessage + PlanWrite(t, {}).rangeMessage,
              RangeMessage(INT32_MAX, 2, 2, 125) + RangeMessage(0, 2, 2, 125));

    // A read asks for each register once; check boxes sharing one take their value from it.
    const std::vector<ReadStep> steps = PlanRead(t);
    std::vector<std::string> fetched;
    for (const ReadStep& s : steps)
        for (int r : s.fetch) fetched.push_back(std::to_string(r));
    EXPECT_EQ(Joined(fetched),
              "2 3 4 8 9 10 11 12 13 14 15 16 17 5 6 7 18 19 20 21 22 23 24 25 26 27 29 30 28 31 32 34 35 33 36 37 "
              "39 40 38 41 42 44 45 43 46 47 49 50 48 51 52 54 55 53 56 57 59 60 58 61 62 64 65 63 66 67 69 70 68");
    ASSERT_EQ(steps.size(), 64u);
    EXPECT_EQ(
        (Ints{steps[0].controlId, steps[0].fieldNumber, steps[63].controlId, steps[63].fieldNumber, steps[8].controlId,
              static_cast<int>(steps[8].fetch.size()), steps[8].valueRegisters.at(0), steps[4].valueRegisters.at(3),
              ReadFieldChecked(steps[9].spec, {5}), ReadFieldChecked(steps[8].spec, {5}),
              ReadFieldChecked(steps[9].spec, {}), TextMatchesValue("12.5", 12), TextMatchesValue("12.5", 13),
              TextMatchesValue(" 12", 12), TextMatchesValue("", 0)}),
        (Ints{1162, 1, 1384, 64, 1177, 0, 6, 13, 1, 0, 0, 0, 0, 1,
              1}));  // 1178 is bit 2, 1177 bit 1; verify does not round
    // Fields whose registers fall outside 1..10000 are never read or written.
    const FieldSpecTable odd =
        TableOf({{10, "9999,4,0,5"}, {11, "0,1,0,5"}, {12, "9,9,0,0"}, {13, "10000,1,0,5"}, {14, "20,3,0,0"}});
    EXPECT_EQ(WriteLines(odd, {{10, {"3"}}, {11, {"3"}}, {12, {"", true}}, {13, {"4"}}}),
              "PX20,0 PX10000,4");  // unset bits are 0
    ASSERT_EQ(PlanRead(odd).size(), 2u);
    EXPECT_EQ((Ints{PlanRead(odd)[0].fetch.at(0), PlanRead(odd)[0].fieldNumber}),
              (Ints{10000, 4}));  // progress counts every field

    EXPECT_EQ(Joined({ReadLine(70), WriteLine(2, -10), kStoreCommand, kFactoryResetCommand}),
              "PX0,70 PX2,-10 PX 9876,5432 PX 9876,5433");
    EXPECT_EQ(TransferProgressText(ReadLine(2), TransferPercent(1, 64)) + "|" +
                  TransferProgressText("PX0,12345678901234567890", 0),
              "PX0,2" + std::string(15, ' ') + "   1.56%|PX0,12345678901234567890   0.00%");
    EXPECT_EQ((Ints{ProgressBarPosition(TransferPercent(69, 69)), ProgressBarPosition(TransferPercent(3, 0)),
                    ProgressBarPosition(12.5), ProgressBarPosition(250), ProgressBarPosition(-3)}),
              (Ints{100, 0, 12, 100, 0}));
}

std::string Reread(const std::string& path) {
    std::string text = "x";
    EXPECT_EQ(ReadConfigFile(path, text), ConfigRead::Ok);
    return text;
}

TEST(ConfigFile, SaveWritesEveryFieldAndLoadReadsThemBack) {
    const FieldSpecTable t =
        TableOf({{1162, "2,1,2,125"}, {1165, "3,1,5,100"}, {1167, "4,1,5,100"}, {1176, "6,0,0,0"}, {1177, "6,1,0,0"}});
    const FieldInputs in = {{1162, {"20"}}, {1165, {"abc"}}, {1176, {"", true}}};
    const std::string saved = "[CO]\r\n01162=20\r\n01165=abc\r\n01167=\r\n01176= 1\r\n01177= 0\r\n";
    const std::string path = testing::TempDir() + "kt" + std::to_string(getpid()) + "_new.cfg";
    std::remove(path.c_str());
    ASSERT_TRUE(WriteConfigFile(path, ConfigEntries(t, in)));
    EXPECT_EQ(Reread(path), saved);
    // Loaded and saved again, every field comes back as it was.
    ASSERT_TRUE(WriteConfigFile(path, ConfigEntries(t, FieldsFromConfigText(t, saved))));
    EXPECT_EQ(Reread(path), saved);
    // A missing key empties a field, only 1 checks a box; a text is saved as one line of at most 256 characters.
    const FieldInputs sparse = FieldsFromConfigText(t, "[CO]\r\n01165=7\r\n01176=1\r\n01177=2\r\n");
    EXPECT_EQ((Ints{sparse.at(1165).text == "7", sparse.at(1167).text.empty(), sparse.at(1176).checked,
                    sparse.at(1177).checked}),
              (Ints{1, 1, 1, 0}));
    const auto entries = ConfigEntries(t, {{1162, {std::string(300, '7')}}, {1165, {"12\r\n[Evil]"}}});
    EXPECT_EQ(entries[0].value + entries[1].value, std::string(256, '7') + "12");
    // The new file takes the old one's place only when complete; a refused replacement keeps it.
    std::ofstream(path, std::ios::binary) << "[Keep]\r\nx=1\r\n[CO]\r\n01162=1\r\n";
    EXPECT_FALSE(WriteConfigFile(path, {{"01162", "2"}}, [](const std::string&, const std::string&) { return false; }));
    EXPECT_FALSE(std::ifstream(path + ".tmp").good());
    EXPECT_EQ(Reread(path), "[Keep]\r\nx=1\r\n[CO]\r\n01162=1\r\n");
    EXPECT_TRUE(WriteConfigFile(path, {{"01162", "2"}}));
    EXPECT_EQ(Reread(path), "[Keep]\r\nx=1\r\n[CO]\r\n01162=2\r\n");
    std::remove(path.c_str());
}

TEST(ConfigFile, ProfileRulesPathsAndFailures) {
    const std::string ini = "top=0\r\n[A]\r\nKey = \"quoted\" \r\nkey=second\r\nlong=" + std::string(300, 'x') +
                            "\r\n[ b ]\nk=x y\n[CO]\r\nnoequals\r\nq=\"\r\nqq=\"\"\r\n[a]\r\nlater=1\r\n";
    // Blanks and one pair of quotes go, names ignore case, the first key and section count; "top" is in none.
    const IniValues a = IniGetValues(ini, "a"), co = IniGetValues(ini, "CO");
    EXPECT_EQ((std::vector<std::string>{a.at("key"), a.at("long").substr(250), IniGetValues(ini, "B").at("k"),
                                        co.at("q"), co.at("qq"), IniGetValues(ini, " A", 3).at("key"),
                                        IniGetValues(ini, "A", -1).at("key"), IniName(" Ab ")}),
              (std::vector<std::string>{"quoted", "xxxxx", "x y", "\"", "", "quo", "", "ab"}));
    EXPECT_EQ((std::vector<size_t>{a.size(), co.size(), IniGetValues(ini, "Z").size()}),
              (std::vector<size_t>{2, 2, 0}));
    // Set in place; new keys after the section's last line, in order; other bytes kept.
    for (const auto& [before, set, after] :
         std::initializer_list<std::tuple<std::string, std::vector<ConfigEntry>, std::string>>{
             {"[Other]\r\nk=v", {{"01162", "20"}}, "[Other]\r\nk=v\r\n[CO]\r\n01162=20\r\n"},
             {"", {{"01162", ""}}, "[CO]\r\n01162=\r\n"},
             {"[CO]\r\n01162=1", {{"01165", "5"}}, "[CO]\r\n01162=1\r\n01165=5\r\n"},
             {"[CO]", {{"01162", "a\r\nb"}}, "[CO]\r\n01162=a\r\n"},
             {"; note\n[co]\n 01165 = 3\n\n[X]\r\n01162=9\r\n",
              {{"01162", "20"}, {"01165", "50"}, {"01167", "7"}},
              "; note\n[co]\n01165=50\n01162=20\r\n01167=7\r\n\n[X]\r\n01162=9\r\n"},
             {"\xEF\xBB\xBF[CO]\r\n01162=1\r\n", {{"01162", "2"}}, "\xEF\xBB\xBF[CO]\r\n01162=2\r\n"}}) {
        std::string text = before;
        IniSetValues(text, "CO", set);
        EXPECT_EQ(text, after) << before;
    }
    EXPECT_EQ(Joined({ResolveControllerFilePath("", "C:\\"), ResolveControllerFilePath("D:\\\\a\\\\b.cfg", ""),
                      ResolveControllerFilePath("", "\\\\srv\\share\\"), ConfigKey(1162), ConfigKey(7), ConfigKey(0),
                      ConfigKey(-5)}),
              "C:\\default.cfg D:\\a\\b.cfg \\\\srv\\share\\default.cfg 01162 00007 00000 -5");
    // A file that cannot be read whole is neither loaded nor overwritten; the messages name it.
    const std::string dir = testing::TempDir(), huge = dir + "kt" + std::to_string(getpid()) + "_huge.cfg";
    std::ofstream(huge, std::ios::binary) << std::string(kConfigFileMaxBytes + 1, ';');
    for (const std::string& p : {dir + "kt_no_such_folder/default.cfg", dir, std::string(), huge})
        EXPECT_FALSE(WriteConfigFile(p, {{"1", "2"}})) << p;
    std::string text = "x";  // a refused read leaves no text
    EXPECT_EQ((std::vector<ConfigRead>{ReadConfigFile(dir + "kt_no_such_folder/a.cfg", text), ReadConfigFile("", text),
                                       ReadConfigFile(dir, text), ReadConfigFile(huge, text)}),
              (std::vector<ConfigRead>{ConfigRead::Missing, ConfigRead::Missing, ConfigRead::Unreadable,
                                       ConfigRead::TooLarge}));
    EXPECT_EQ(text + "|" + SaveFailedMessage("C:\\a.cfg") + "|" + LoadFailedMessage(ConfigRead::TooLarge, "C:\\b.cfg") +
                  "|" + LoadFailedMessage(ConfigRead::Unreadable, "C:\\c.cfg"),
              "|Die Konfiguration konnte nicht gespeichert werden:\r\nC:\\a.cfg|Die Datei ist zu gro\xDF f\xFCr eine "
              "Controller-Konfiguration:"
              "\r\nC:\\b.cfg\r\nDie Felder bleiben unver\xE4ndert.|"
              "Die Datei konnte nicht gelesen werden:\r\nC:\\c.cfg\r\nDie Felder bleiben unver\xE4ndert.");
    std::remove(huge.c_str());
}

}  // namespace
