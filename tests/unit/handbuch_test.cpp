// The manual in docs/handbuch holds the register reference, language keys and template the program prints now, and
// every setup field's row with its range: a field or text changed without tools/docs run again fails here.
#include <gtest/gtest.h>

#include "base/html_text.h"
#include "base/language.h"
#include "base/language_reference.h"
#include "config/config_file.h"
#include "config/register_reference.h"
#include "test_files.h"

namespace {

std::string Manual(const std::string& name) { return FileText(std::string(KT_SOURCE_DIR) + "/docs/handbuch/" + name); }

TEST(Manual, HoldsWhatTheProgramPrintsEveryFieldWithItsRangeAndEveryText) {
    const std::string page = Manual("register.html");
    EXPECT_NE(page.find(RegisterReferenceHtml()), std::string::npos) << "register.html: run tools/docs";
    EXPECT_NE(Manual("sprache.html").find(LanguageKeysHtml()), std::string::npos) << "sprache.html: run tools/docs";
    EXPECT_EQ(Manual("sprachvorlage.lan"), LanguageTemplate()) << "run tools/docs";
    for (const RegisterField& f : RegisterFields()) {
        const size_t start = page.find("<tr id=\"feld-" + ConfigKey(f.id) + "\">");
        ASSERT_NE(start, std::string::npos) << "no row for the field " << f.id;
        const std::string row = page.substr(start, page.find("</tr>", start) - start);
        const FieldSpec s = ParseFieldSpec(FieldSpecOfCaption(f.caption));
        const std::string range =
            IsBitField(s) ? ">aus / ein" : ">von " + NumberText(s.minimum) + " bis " + NumberText(s.maximum);
        EXPECT_NE(row.find(range), std::string::npos) << f.id << ": " << row;
    }
    EXPECT_EQ(HtmlText("\x80\x81\x8D\x9F\xE4<&\"x"), "&#8364;&#65533;&#65533;&#376;&auml;&lt;&amp;&quot;x")
        << "as ASCII";
    // The template replaces each text by itself, and holds nothing else.
    LanguageTable table;
    ParseLanguageFile(table, LanguageTemplate());
    table.Loaded = true;
    const int32_t entries = table.EntryCount;
    for (const TranslatableGroup& g : TranslatableTexts())
        for (const std::string& text : g.texts) EXPECT_EQ(TranslateIn(table, text, nullptr), text);
    EXPECT_EQ(table.EntryCount, entries) << "a text was collected as new";
}

}  // namespace
