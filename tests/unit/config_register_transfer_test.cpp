#include "config/register_transfer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const FieldSpecTable& Table() {
    static const FieldSpecTable table = BuildFieldSpecs();
    return table;
}

// A dialog whose every field is in range; X null at its maximum.
FieldInputs ValidInputs() {
    FieldInputs in = {
        {1162, {"20"}},      {1165, {"50"}},    {1167, {"30"}}, {1169, {"6400"}},
        {1171, {"2000000"}}, {1173, {"12000"}}, {1186, {"0"}},  {1188, {"60"}},
        {1190, {"32000"}},
    };
    for (int n = 1; n <= 9; ++n) {
        const int id = 1200 + 10 * (n - 1);
        in[id].text = std::to_string(n);
        in[id + 1].text = std::to_string(10 * n);
        in[id + 2].text = std::to_string(400 * n);
    }
    return in;
}

std::vector<std::string> Lines(const WritePlan& plan) {
    std::vector<std::string> lines;
    for (const RegisterWrite& w : plan.writes) lines.push_back(WriteLine(w.reg, w.value));
    return lines;
}

TEST(RegisterTransfer, ProgressText) {
    EXPECT_EQ(TransferProgressText(ReadLine(2), TransferPercent(1, 64)),
              "PX0,2" + std::string(15, ' ') + "   1.56%");
    EXPECT_EQ(ProgressBarPosition(TransferPercent(1, 64)), 2);
    EXPECT_EQ(TransferProgressText("PX70,3", TransferPercent(69, 69)),
              "PX70,3" + std::string(14, ' ') + "   100.00%");
    EXPECT_EQ(TransferProgressText("PX0,12345678901234567890", 50),
              "PX0,12345678901234567890   50.00%");  // longer than 20: kept whole
    EXPECT_EQ(TransferPercent(3, 0), 0.0);
    EXPECT_EQ(ProgressBarPosition(12.5), 12);  // ties to even
    EXPECT_EQ(ProgressBarPosition(250), 100);
    EXPECT_EQ(ProgressBarPosition(-3), 0);
}

TEST(RegisterTransfer, CommandLines) {
    EXPECT_EQ(WriteLine(2, 10), "PX2,10");
    EXPECT_EQ(ReadLine(70), "PX0,70");
    EXPECT_STREQ(kStoreCommand, "PX 9876,5432");
    EXPECT_STREQ(kFactoryResetCommand, "PX 9876,5433");
}

TEST(RegisterTransfer, RangeMessageBytes) {
    EXPECT_EQ(RangeMessage(1, 2, 2, 125),
              "Der Wert (1) im Feld f\xFCr das/die Register 2\r\n"
              "ist nicht im erlaubten Bereich (2...125)\r\n");
    EXPECT_EQ(RangeMessage(-5, 10, 0, 2000000),
              "Der Wert (-5) im Feld für das/die Register 10\r\n"
              "ist nicht im erlaubten Bereich (0...2000000)\r\n");
}

TEST(RegisterTransfer, ValidDialogWritesRegisters2To70InOrder) {
    const WritePlan plan = PlanWrite(Table(), ValidInputs());
    ASSERT_TRUE(plan.inRange);
    EXPECT_EQ(plan.rangeMessage, "");
    ASSERT_EQ(plan.writes.size(), 69u);
    for (size_t i = 0; i < plan.writes.size(); ++i) {
        EXPECT_EQ(plan.writes[i].reg, static_cast<int>(i) + 2);
        EXPECT_GE(plan.writes[i].value, 0);
        EXPECT_LE(plan.writes[i].value, 255);
    }
    const std::vector<std::string> lines = Lines(plan);
    EXPECT_EQ(lines[0], "PX2,20");
    // Bit registers with no box checked still go out, as 0.
    EXPECT_EQ(lines[3], "PX5,0");
    EXPECT_EQ(lines[4], "PX6,0");
    EXPECT_EQ(lines[5], "PX7,0");
    EXPECT_EQ(lines[6], "PX8,0");  // 6400 = 25 * 256
    EXPECT_EQ(lines[7], "PX9,25");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.begin() + 12),
              (std::vector<std::string>{"PX10,128", "PX11,132", "PX12,30", "PX13,0"}));
    EXPECT_EQ(lines[22], "PX24,0");  // 32000 = 125 * 256
    EXPECT_EQ(lines[23], "PX25,125");
    // Tool 9: factors, bits, depth 3600 = 14 * 256 + 16.
    EXPECT_EQ(std::vector<std::string>(lines.end() - 5, lines.end()),
              (std::vector<std::string>{"PX66,9", "PX67,90", "PX68,0", "PX69,16", "PX70,14"}));
}

TEST(RegisterTransfer, CheckBoxesOfOneRegisterMakeOneByte) {
    FieldInputs in = ValidInputs();
    in[1176].checked = true;  // 6/0
    in[1178].checked = true;  // 6/2
    in[1185].checked = true;  // 7/7
    in[1181].checked = true;  // 7/6
    in[1384].checked = true;  // tool 9 retract, register 68 bit 1
    std::vector<std::string> lines = Lines(PlanWrite(Table(), in));
    EXPECT_EQ(lines[4], "PX6,5");
    EXPECT_EQ(lines[5], "PX7,192");
    EXPECT_EQ(lines[66], "PX68,2");

    in = ValidInputs();
    in[1177].checked = true;
    EXPECT_EQ(Lines(PlanWrite(Table(), in))[4], "PX6,2");
}

TEST(RegisterTransfer, FirstFieldOutOfRangeStopsTheWrite) {
    FieldInputs in = ValidInputs();
    in[1202].text = "";  // tool 1's depth: empty reads 0, below its minimum 1
    WritePlan plan = PlanWrite(Table(), in);
    EXPECT_FALSE(plan.inRange);
    EXPECT_TRUE(plan.writes.empty());
    EXPECT_EQ(plan.rangeMessage,
              "Der Wert (0) im Feld für das/die Register 29\r\n"
              "ist nicht im erlaubten Bereich (1...32000)\r\n");

    in[1190].text = "32001";  // an earlier id is reported, not the later one
    EXPECT_EQ(PlanWrite(Table(), in).rangeMessage,
              "Der Wert (32001) im Feld für das/die Register 24\r\n"
              "ist nicht im erlaubten Bereich (0...32000)\r\n");

    in = ValidInputs();
    in[1162].text = "zwanzig";
    EXPECT_NE(PlanWrite(Table(), in).rangeMessage.find("Der Wert (0) im Feld für das/die Register 2\r\n"),
              std::string::npos);
    in[1162].text = "99999999999";  // saturates, is refused, never wraps into range
    EXPECT_FALSE(PlanWrite(Table(), in).inRange);
    EXPECT_FALSE(PlanWrite(Table(), FieldInputs{}).inRange);  // an untouched dialog
}

TEST(RegisterTransfer, TextsAreRoundedTiesToEven) {
    FieldInputs in = ValidInputs();
    in[1162].text = "12.5";
    in[1165].text = "13.5";
    in[1167].text = " &h10";
    const std::vector<std::string> lines = Lines(PlanWrite(Table(), in));
    EXPECT_EQ(lines[0], "PX2,12");
    EXPECT_EQ(lines[1], "PX3,14");
    EXPECT_EQ(lines[2], "PX4,16");
    // Verify compares the unrounded number: neither matches a whole register value.
    EXPECT_FALSE(TextMatchesValue("12.5", 12));
    EXPECT_FALSE(TextMatchesValue("12.5", 13));
    EXPECT_FALSE(TextMatchesValue("13.5", 14));
    EXPECT_TRUE(TextMatchesValue(" 12", 12));
    EXPECT_TRUE(TextMatchesValue("", 0));
    EXPECT_TRUE(TextMatchesValue("2000000", 2000000));
}

TEST(RegisterTransfer, ReadAsksSharedRegistersOnce) {
    const std::vector<ReadStep> steps = PlanRead(Table());
    ASSERT_EQ(steps.size(), 64u);
    std::vector<int> order;
    for (const ReadStep& s : steps) order.insert(order.end(), s.fetch.begin(), s.fetch.end());
    std::vector<int> expected = {2, 3, 4, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 5, 6, 7,
                                 18, 19, 20, 21, 22, 23, 24, 25};
    for (int b = 26; b <= 66; b += 5) {
        for (int r : {b, b + 1, b + 3, b + 4, b + 2}) expected.push_back(r);
    }
    EXPECT_EQ(order, expected);
    EXPECT_EQ(order.size(), 69u);

    EXPECT_EQ(steps[0].controlId, 1162);
    EXPECT_EQ(steps[0].fieldNumber, 1);
    EXPECT_EQ(steps[63].controlId, 1384);
    EXPECT_EQ(steps[63].fieldNumber, 64);
    // 1177 shares register 6 with 1176: nothing to ask, but its value still comes from 6.
    EXPECT_EQ(steps[8].controlId, 1177);
    EXPECT_TRUE(steps[8].fetch.empty());
    EXPECT_EQ(steps[8].valueRegisters, (std::vector<int>{6}));
    EXPECT_EQ(steps[4].valueRegisters, (std::vector<int>{10, 11, 12, 13}));
}

TEST(RegisterTransfer, ReadComposesFieldsFromTheirRegisters) {
    EXPECT_EQ(ReadFieldText({128, 132, 30, 0}), "2000000");
    EXPECT_EQ(ReadFieldText({0, 125}), "32000");
    const FieldSpec bit2 = ParseFieldSpec(FieldSpecEntry(Table(), 1178));
    const FieldSpec bit1 = ParseFieldSpec(FieldSpecEntry(Table(), 1177));
    EXPECT_TRUE(ReadFieldChecked(bit2, {5}));
    EXPECT_FALSE(ReadFieldChecked(bit1, {5}));
    EXPECT_FALSE(ReadFieldChecked(bit2, {}));
}

TEST(RegisterTransfer, FieldsOutsideTheRegisterImageAreNeverTouched) {
    FieldSpecTable t;
    TakeFieldSpec(t, 10, "§9999,4,0,5§beyond 10000");
    TakeFieldSpec(t, 11, "§0,1,0,5§register 0 reads, it stores nothing");
    TakeFieldSpec(t, 12, "x§9,9,0,0§no bit 9");
    TakeFieldSpec(t, 13, "§10000,1,0,5§last");
    const FieldInputs in = {{10, {"3"}}, {11, {"3"}}, {12, {"", true}}, {13, {"4"}}};
    const WritePlan plan = PlanWrite(t, in);
    ASSERT_EQ(plan.writes.size(), 1u);
    EXPECT_EQ(plan.writes[0].reg, 10000);
    const std::vector<ReadStep> steps = PlanRead(t);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].fetch, (std::vector<int>{10000}));
    EXPECT_EQ(steps[0].fieldNumber, 4);  // progress still counts every field
}

}  // namespace
