#include "config/register_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<int> Ids(const FieldSpecTable& t) {
    std::vector<int> ids;
    for (const auto& [id, entry] : t.SpecTable) ids.push_back(id);
    return ids;
}

TEST(RegisterTable, SixtyFourFieldsWalkedByAscendingId) {
    const FieldSpecTable t = BuildFieldSpecs();
    EXPECT_EQ(t.FieldCount, 64);
    std::vector<int> expected = {1162, 1165, 1167, 1169, 1171, 1173, 1174, 1176, 1177, 1178,
                                 1179, 1180, 1181, 1182, 1184, 1185, 1186, 1188, 1190};
    for (int base = 1200; base <= 1280; base += 10)
        for (int k = 0; k < 5; ++k) expected.push_back(base + k);
    expected.back() = 1384;  // tool 9's retract bit: a walk that stops at 1300 misses it
    EXPECT_EQ(Ids(t), expected);
    EXPECT_EQ(FieldSpecEntry(t, 1384), "68,1,0,0§Z-  =  Z+  (Herausfahrtempo=Eintauchtempo)");
    EXPECT_EQ(FieldSpecEntry(t, 1284), "");
}

TEST(RegisterTable, CaptionsCarryTheSpecAfterAnA7Byte) {
    const std::vector<RegisterField>& f = RegisterFields();
    ASSERT_EQ(f.size(), 64u);
    // The bytes of Windows-1252, not UTF-8: "§" is A7, "ü" is FC.
    EXPECT_EQ(f[0].caption, "\xA7" "2,1,2,125\xA7Zeit f\xFCr einen Motorschritt x 0.128ms");
    EXPECT_EQ(BuildFieldSpecs().SpecTable.at(1162), "2,1,2,125§Zeit für einen Motorschritt x 0.128ms");

    // Creation order: the upper group top to bottom, the half-step box, register 6, register 7
    // (bits 0, 4, 6, 7), then the tools field by field.
    const std::vector<int> head = {1162, 1165, 1167, 1169, 1171, 1173, 1186, 1188, 1190, 1174,
                                   1176, 1177, 1178, 1179, 1180, 1182, 1184, 1181, 1185, 1200,
                                   1201, 1202, 1203, 1204, 1210};
    for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(f[i].id, head[i]) << i;
    EXPECT_EQ(f.back().id, 1384);
    for (size_t i = 0; i < f.size(); ++i)
        EXPECT_EQ(f[i].kind == FieldKind::CheckBox, IsBitField(ParseFieldSpec(
                      f[i].caption.substr(f[i].caption.find('\xA7') + 1))))
            << f[i].id;

    ASSERT_EQ(RegisterFieldLabels().size(), 12u);
    EXPECT_EQ(RegisterFieldLabels()[0].id, 1163);
    EXPECT_EQ(RegisterFieldLabels()[0].text, "Motorschritt-Takt *128ys (2)");
    EXPECT_EQ(RegisterFieldLabels()[6].id, 1187);
    EXPECT_EQ(RegisterFieldLabels()[8].text, "Fr\xE4ser aus nach Sek (24..25)");
    EXPECT_EQ(RegisterFieldLabels()[11].id, 1197);
}

TEST(RegisterTable, LoadingSpecsLeavesOnlyTheVisibleCaption) {
    FieldSpecTable t;
    std::vector<std::string> shown;
    for (const RegisterField& f : RegisterFields()) shown.push_back(TakeFieldSpec(t, f.id, f.caption));
    EXPECT_EQ(t.FieldCount, 64);
    EXPECT_EQ(shown[0], "");                          // text box of register 2
    EXPECT_EQ(shown[9], "Halbschrittbetrieb (5/0)");  // check box 1174
    EXPECT_EQ(shown[22], "n. WZ-Wechsel: Taste drücken");
    EXPECT_EQ(shown[28], "");  // tool 2's wait bit: the row is explained by tool 1's caption

    // Only the first mark splits; a caption without one, or an id outside 1..32000, is no field.
    EXPECT_EQ(TakeFieldSpec(t, 5, "a§1,1,0,9§b§c"), "a");
    EXPECT_EQ(FieldSpecEntry(t, 5), "1,1,0,9§b§c");
    EXPECT_EQ(TakeFieldSpec(t, 6, "OK"), "OK");
    EXPECT_EQ(TakeFieldSpec(t, 32001, "§1,1,0,9§x"), "§1,1,0,9§x");
    EXPECT_EQ(TakeFieldSpec(t, 0, "§1,1,0,9§x"), "§1,1,0,9§x");
    EXPECT_EQ(TakeFieldSpec(t, 7, "x§"), "x");  // nothing after the mark: nothing to keep
    EXPECT_EQ(t.FieldCount, 65);
    TakeFieldSpec(t, 5, "a§1,1,0,9§b");  // the same control again is still one field
    EXPECT_EQ(t.FieldCount, 65);
    ClearFieldSpecs(t);
    EXPECT_EQ(t.FieldCount, 0);
    EXPECT_TRUE(t.SpecTable.empty());
}

struct Expected {
    int id, reg, width, minimum, maximum;
    bool mm;
};

TEST(RegisterTable, EverySpecParses) {
    std::vector<Expected> expected = {
        {1162, 2, 1, 2, 125, false},        {1165, 3, 1, 5, 100, false},
        {1167, 4, 1, 5, 100, false},        {1169, 8, 2, 100, 32000, false},
        {1171, 10, 4, 0, 2000000, true},    {1173, 14, 4, 0, 2000000, true},
        {1174, 5, 0, 0, 0, false},          {1176, 6, 0, 0, 0, false},
        {1177, 6, 1, 0, 0, false},          {1178, 6, 2, 0, 0, false},
        {1179, 6, 3, 0, 0, false},          {1180, 6, 4, 0, 0, false},
        {1181, 7, 6, 0, 0, false},          {1182, 7, 0, 0, 0, false},
        {1184, 7, 4, 0, 0, false},          {1185, 7, 7, 0, 0, false},
        {1186, 18, 4, 0, 2000000, true},    {1188, 22, 2, 0, 32000, false},
        {1190, 24, 2, 0, 32000, false},
    };
    for (int n = 1; n <= 9; ++n) {
        const int b = 21 + 5 * n, id = 1200 + 10 * (n - 1);
        expected.push_back({id, b, 1, 1, 100, false});
        expected.push_back({id + 1, b + 1, 1, 1, 100, false});
        expected.push_back({id + 2, b + 3, 2, 1, 32000, true});
        expected.push_back({id + 3, b + 2, 0, 0, 0, false});
        expected.push_back({n == 9 ? 1384 : id + 4, b + 2, 1, 0, 0, false});
    }
    const FieldSpecTable t = BuildFieldSpecs();
    ASSERT_EQ(expected.size(), 64u);
    for (const Expected& e : expected) {
        const FieldSpec s = ParseFieldSpec(FieldSpecEntry(t, e.id));
        EXPECT_EQ(s.reg, e.reg) << e.id;
        EXPECT_EQ(s.width, e.width) << e.id;
        EXPECT_EQ(s.minimum, e.minimum) << e.id;
        EXPECT_EQ(s.maximum, e.maximum) << e.id;
        EXPECT_EQ(s.mm, e.mm) << e.id;
        EXPECT_TRUE(FieldFitsRegisters(s)) << e.id;
    }

    // The comma and "%" of register 3's description are description, not a unit.
    const FieldSpec r3 = ParseFieldSpec(FieldSpecEntry(t, 1165));
    EXPECT_FALSE(r3.mm);
    EXPECT_EQ(r3.description, "Pulsbreite (Einschaltzeit in %), wenn Motore drehen");
    EXPECT_EQ(ParseFieldSpec(FieldSpecEntry(t, 1204)).description,
              "Z-  =  Z+  (Herausfahrtempo=Eintauchtempo)");
    EXPECT_EQ(ParseFieldSpec(FieldSpecEntry(t, 1220)).description, "Eintauchtempoveringerung WZ3");
    EXPECT_EQ(ParseFieldSpec(FieldSpecEntry(t, 1210)).description,
              "Z+  =  Z- / Faktor (Eintauchtempoveringerung Werkzeug 2)");
}

TEST(RegisterTable, OddSpecsParseWithoutSurprises) {
    EXPECT_TRUE(ParseFieldSpec("1,2,3,4,mmx§d").mm);
    EXPECT_FALSE(ParseFieldSpec("1,2,3,4,m§d").mm);
    EXPECT_FALSE(ParseFieldSpec("1,2,3,4,MM§d").mm);
    EXPECT_FALSE(ParseFieldSpec("1,2,3,4,,mm§d").mm);  // only the fifth piece is the unit
    const FieldSpec none = ParseFieldSpec("");
    EXPECT_EQ(none.reg, 0);
    EXPECT_TRUE(IsBitField(none));
    EXPECT_FALSE(FieldFitsRegisters(none));  // register 0 is no storage
    const FieldSpec junk = ParseFieldSpec("x,,-7,abc");  // no mark: no description
    EXPECT_EQ(junk.width, 0);
    EXPECT_EQ(junk.minimum, -7);
    EXPECT_EQ(junk.description, "");
    EXPECT_EQ(ParseFieldSpec("70000,1,1,2§").reg, 65535);  // clamped, never wrapped onto 4464
    EXPECT_EQ(ParseFieldSpec("-3,1,1,2§").reg, 0);
    EXPECT_EQ(ParseFieldSpec("99999999999999,1,1,2§").reg, 65535);

    // Nothing may point outside the RegisterImage.
    EXPECT_TRUE(FieldFitsRegisters(ParseFieldSpec("9997,4,1,2§")));
    EXPECT_FALSE(FieldFitsRegisters(ParseFieldSpec("9998,4,1,2§")));
    EXPECT_FALSE(FieldFitsRegisters(ParseFieldSpec("10001,0,0,0§")));
    EXPECT_FALSE(FieldFitsRegisters(ParseFieldSpec("5,8,0,0§")));
    EXPECT_FALSE(FieldFitsRegisters(ParseFieldSpec("5,5,1,2§")));
    EXPECT_FALSE(FieldFitsRegisters(ParseFieldSpec("5,0,1,2§")));
    EXPECT_EQ(FieldRegisters(ParseFieldSpec("29,2,1,32000,mm§")), (std::vector<int>{29, 30}));
    EXPECT_EQ(FieldRegisters(ParseFieldSpec("6,4,0,0§")), (std::vector<int>{6}));
    EXPECT_TRUE(FieldRegisters(ParseFieldSpec("5,9,0,0§")).empty());
}

TEST(RegisterTable, ValuesSplitLittleEndianAndJoinBack) {
    EXPECT_EQ(SplitValue(2000000, 4), (std::vector<int32_t>{128, 132, 30, 0}));
    EXPECT_EQ(JoinValue({128, 132, 30, 0}), 2000000);
    EXPECT_EQ(SplitValue(32000, 2), (std::vector<int32_t>{0, 125}));
    EXPECT_EQ(JoinValue({0, 125}), 32000);
    EXPECT_EQ(SplitValue(125, 1), (std::vector<int32_t>{125}));
    EXPECT_EQ(SplitValue(0x12345678, 4), (std::vector<int32_t>{0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(SplitValue(300, 1), (std::vector<int32_t>{44}));  // too wide: the low byte
    EXPECT_TRUE(SplitValue(5, 0).empty());
    EXPECT_TRUE(SplitValue(5, 5).empty());
    // Whole 32-bit patterns, both ways, without overflow.
    EXPECT_EQ(SplitValue(-1, 4), (std::vector<int32_t>{255, 255, 255, 255}));
    EXPECT_EQ(JoinValue({255, 255, 255, 255}), -1);
    EXPECT_EQ(JoinValue({0, 0, 0, 128}), INT32_MIN);
    EXPECT_EQ(JoinValue({255, 255, 255, 127}), INT32_MAX);
    // A register is 8 bits: a stray wider entry counts with its low byte.
    EXPECT_EQ(JoinValue({300, 1}), 44 + 256);
    EXPECT_EQ(JoinValue({}), 0);
    EXPECT_EQ(JoinValue({1, 0, 0, 0, 9}), 1);
}

TEST(RegisterTable, BitsOfASharedRegister) {
    int32_t r6 = 0;
    r6 = WithBit(r6, 0, true);
    r6 = WithBit(r6, 2, true);
    r6 = WithBit(r6, 1, false);
    EXPECT_EQ(r6, 5);
    EXPECT_EQ(WithBit(r6, 0, false), 4);
    EXPECT_EQ(BitOf(5, 0), 1);
    EXPECT_EQ(BitOf(5, 1), 0);
    EXPECT_EQ(BitOf(5, 2), 1);
    EXPECT_EQ(BitOf(128, 7), 1);
    EXPECT_EQ(BitOf(-1, 7), 1);
    EXPECT_EQ(BitOf(-1, 8), 0);    // not a bit of an 8-bit register
    EXPECT_EQ(BitOf(-1, -1), 0);
    EXPECT_EQ(WithBit(5, 31, true), 5);
    EXPECT_EQ(WithBit(5, -1, true), 5);
}

}  // namespace
