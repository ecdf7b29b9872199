#include "base/help_texts.h"

#include <gtest/gtest.h>

#include <set>

#include "base/control_ids.h"

// The texts are language-file keys: they must reach the program as Windows-1252 bytes.
TEST(HelpTexts, LiteralsAreWindows1252) {
    const auto& t = MainHelpTexts();
    EXPECT_EQ(t[2].id, ids::BtnOpenPlot);
    EXPECT_EQ(t[2].text, "Eine Plt-Datei \xF6" "ffnen");
    EXPECT_EQ(t[1].text, "Datei/Gr\xF6\xDF" "e/X-Ausdehnung/Y-Ausdehnung/\r\nWerkzeuge in Benutzung");
}

TEST(HelpTexts, OneEntryPerControlInTableOrder) {
    const auto& t = MainHelpTexts();
    ASSERT_EQ(t.size(), 31u);
    std::set<int> seen;
    for (const auto& h : t) EXPECT_TRUE(seen.insert(h.id).second) << h.id;
    EXPECT_EQ(t.front().id, ids::LblCommand);
    EXPECT_EQ(t.back().id, ids::BtnSettings);
    // The command box's tip ends with its three examples on lines of their own.
    EXPECT_NE(t[28].text.find("\r\nPR 550,-340\r\nPD;\r\nZR-200"), std::string::npos);
    EXPECT_EQ(t[0].text.find("PU;  u.s.w."), t[0].text.size() - 12);
}
