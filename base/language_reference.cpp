#include "base/language_reference.h"

#include "base/control_ids.h"
#include "base/help_texts.h"
#include "base/html_text.h"
#include "base/language.h"

namespace {

void AddTexts(std::vector<std::string>& to, const std::vector<HelpText>& from) {
    for (const HelpText& h : from) to.push_back(h.text);
}

}  // namespace

std::vector<TranslatableGroup> TranslatableTexts() {
    std::vector<TranslatableGroup> groups(4);
    groups[0].title = "Hauptfenster: Tooltips";
    AddTexts(groups[0].texts, MainHelpTexts());
    groups[1].title = "Line-Monitor: Tooltips";
    AddTexts(groups[1].texts, MonitorHelpTexts());
    for (const HelpText& h : ExtraHelpTexts())
        if (h.id == ids::TxtRxCount || h.id == ids::TxtTxCount) groups[1].texts.push_back(h.text);
    groups[2].title = "Setup Controller: Tooltips der Schaltflächen";
    AddTexts(groups[2].texts, SetupHelpTexts());
    groups[3].title = "Hauptfenster: Beschriftung des Felds „automatisches Fahren“";
    groups[3].texts = {kRunCaptionIdle, kRunCaptionAuto, kRunCaptionStep};
    return groups;
}

std::string LanguageKeysHtml() {
    std::string html;
    for (const TranslatableGroup& g : TranslatableTexts()) {
        html += "<h3>" + HtmlText(g.title) + "</h3>\n<table class=\"schluessel\">\n";
        html += "<thead><tr><th>Schl&uuml;ssel</th><th>Text</th></tr></thead>\n<tbody>\n";
        for (const std::string& text : g.texts) {
            std::string shown = HtmlText(text);
            for (size_t p; (p = shown.find("\r\n")) != std::string::npos;) shown.replace(p, 2, "\n");
            html += "<tr><td><code>" + KeyHex(TextKey(text)) + "</code></td><td class=\"lt\">" + shown + "</td></tr>\n";
        }
        html += "</tbody>\n</table>\n";
    }
    return html;
}

std::string LanguageTemplate() {
    std::string file;
    for (const TranslatableGroup& g : TranslatableTexts())
        for (const std::string& text : g.texts) file += "$" + KeyHex(TextKey(text)) + "$=" + text + "\r\n";
    return file;
}
