#include "config/field_info.h"

#include <gtest/gtest.h>

#include "config/register_table.h"

namespace {

FieldInfo Info(int id, const std::string& text) {
    static const FieldSpecTable table = BuildFieldSpecs();
    return MakeFieldInfo(FieldSpecEntry(table, id), text);
}

TEST(FieldInfo, NumericLineWithRangeAndMillimetres) {
    const FieldInfo x = Info(1171, "12000");
    EXPECT_EQ(x.line,
              "KT4180-Register: 10...13 = 12000,  Wertebereich von 0 bis 2000000     "
              "( 12000 HPGL-Schritte = 300.00mm)");
    EXPECT_TRUE(x.numeric);
    EXPECT_TRUE(x.inRange);

    const FieldInfo low = Info(1162, "1");
    EXPECT_EQ(low.line, "KT4180-Register: 2 = 1,  Wertebereich von 2 bis 125   ");
    EXPECT_FALSE(low.inRange);
    EXPECT_TRUE(Info(1162, "12").inRange);
    EXPECT_TRUE(Info(1162, "125").inRange);
    EXPECT_FALSE(Info(1162, "126").inRange);

    // Tool 1's depth: two registers, a length.
    EXPECT_EQ(Info(1202, "30").line,
              "KT4180-Register: 29...30 = 30,  Wertebereich von 1 bis 32000     "
              "( 30 HPGL-Schritte = 0.75mm)");
}

TEST(FieldInfo, TextsThatAreNotPlainNumbers) {
    // Empty counts as 0: in range for register 22, below it for register 8.
    EXPECT_EQ(Info(1188, "").line, "KT4180-Register: 22...23 = 0,  Wertebereich von 0 bis 32000   ");
    EXPECT_TRUE(Info(1188, "").inRange);
    EXPECT_FALSE(Info(1169, "").inRange);
    EXPECT_FALSE(Info(1162, "zwanzig").inRange);
    // A minus sign takes the blank's place, in the value and in the millimetres.
    EXPECT_EQ(Info(1173, "-400").line,
              "KT4180-Register: 14...17 =-400,  Wertebereich von 0 bis 2000000     "
              "(-400 HPGL-Schritte = -10.00mm)");
    EXPECT_FALSE(Info(1173, "-400").inRange);
    // Rounded ties to even, then checked; a huge text saturates instead of wrapping.
    EXPECT_EQ(Info(1162, "2.5").line, "KT4180-Register: 2 = 2,  Wertebereich von 2 bis 125   ");
    EXPECT_TRUE(Info(1162, "2.5").inRange);
    EXPECT_TRUE(Info(1162, "1.5").inRange);  // 1.5 -> 2
    EXPECT_FALSE(Info(1171, "1e30").inRange);
    EXPECT_NE(Info(1171, "1e30").line.find("= 2147483647,"), std::string::npos);
    EXPECT_TRUE(Info(1162, "&h10").inRange);  // hex as the program reads it: 16
}

TEST(FieldInfo, BitLineNamesRegisterBitAndDescription) {
    const FieldInfo debug = Info(1181, "nur Debug (7/6)");
    EXPECT_EQ(debug.line, "KT4180-Register: 7, Bit: 6  Debug-Mode: keine Aktion der Maschine");
    EXPECT_FALSE(debug.numeric);  // check boxes keep their colours
    EXPECT_EQ(Info(1174, "").line,
              "KT4180-Register: 5, Bit: 0  aktiv: Motore drehen mit halber Geschwindigkeit");
    EXPECT_EQ(Info(1384, "").line,
              "KT4180-Register: 68, Bit: 1  Z-  =  Z+  (Herausfahrtempo=Eintauchtempo)");
    // "ü" leaves as the single byte FC.
    EXPECT_EQ(Info(1184, "").line,
              "KT4180-Register: 7, Bit: 4  direkte R\xFC" "ckgabe aller empfangenen Zeichen");
}

TEST(FieldInfo, NonsenseSpecsStillGiveALine) {
    EXPECT_EQ(MakeFieldInfo("65535,2147483647,1,2§", "1").line,
              "KT4180-Register: 65535...2147549181 = 1,  Wertebereich von 1 bis 2   ");
    EXPECT_EQ(MakeFieldInfo("", "7").line, "KT4180-Register: 0, Bit: 0  ");
}

TEST(FieldInfo, ColoursInColorrefLayout) {
    EXPECT_EQ(kColourInRange, 0x0000FF00u);
    EXPECT_EQ(kColourOutOfRange, 0x000000FFu);
    EXPECT_EQ(kColourDifferent, 0x0000FFFFu);
    EXPECT_EQ(kColourTextSame, 0x00FFFFFFu);
    EXPECT_EQ(kColourCheckSame, 0x00D3D3D3u);
}

}  // namespace
