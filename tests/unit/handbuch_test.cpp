// The manual in docs/handbuch against the program's own tables: every field of the setup dialog
// in the register reference with its registers, range and description, every text a language
// file can replace with its key, and the template language file as the program reads it. A
// field or text changed without the manual made anew (tools/docs) fails here.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/html_text.h"
#include "base/language.h"
#include "base/language_reference.h"
#include "config/config_file.h"
#include "config/register_reference.h"

namespace {

std::string ManualFile(const std::string& name) {
    std::ifstream in(std::string(KT_SOURCE_DIR) + "/docs/handbuch/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

}  // namespace

TEST(Manual, RegisterReferenceShowsEveryFieldWithItsRange) {
    const std::string page = ManualFile("register.html");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(Count(page, "<tr id=\"feld-"), RegisterFields().size()) << "a row for a field the program lacks";
    for (const RegisterField& f : RegisterFields()) {
        const std::string key = ConfigKey(f.id);
        const size_t start = page.find("<tr id=\"feld-" + key + "\">");
        ASSERT_NE(start, std::string::npos) << "no row for the field " << key;
        const std::string row = page.substr(start, page.find("</tr>", start) - start);
        const FieldSpec s = ParseFieldSpec(f.caption.substr(f.caption.find('\xA7') + 1));
        std::string registers = NumberText(s.reg), range = "aus / ein";
        if (IsBitField(s)) {
            registers += ", Bit " + NumberText(s.width);
        } else {
            if (s.width > 1) registers += "..." + NumberText(s.reg + s.width - 1);
            range = "von " + NumberText(s.minimum) + " bis " + NumberText(s.maximum);
        }
        EXPECT_NE(row.find(">" + registers + "<"), std::string::npos) << key << ": " << row;
        EXPECT_NE(row.find(">" + range), std::string::npos) << key << ": " << row;
        EXPECT_NE(row.find(HtmlText(FieldCaption(f))), std::string::npos) << key << ": " << row;
        EXPECT_NE(row.find(HtmlText(s.description)), std::string::npos) << key << ": " << row;
    }
}

TEST(Manual, LanguagePageAndTemplateHoldEveryTranslatableText) {
    const std::string page = ManualFile("sprache.html");
    LanguageTable table;
    ParseLanguageFile(table, ManualFile("sprachvorlage.lan"));
    table.Loaded = true;
    for (const TranslatableGroup& g : TranslatableTexts()) {
        for (const std::string& text : g.texts) {
            EXPECT_NE(page.find("<code>" + KeyHex(TextKey(text)) + "</code>"), std::string::npos) << text;
            // The template replaces each text by itself.
            EXPECT_EQ(TranslateIn(table, text, nullptr), text);
        }
    }
    EXPECT_EQ(table.EntryCount - 1, Count(ManualFile("sprachvorlage.lan"), "$=")) << "a text was collected as new";
}
