#pragma once
#include <string>
#include <vector>

// The main dialog's tooltip texts, in German, keyed by control id. They are the keys of the
// language files too, so every byte (CR LF breaks, double blanks) matters.
struct HelpText {
    int id;
    std::string text;
};

// The table in the order the tooltips are attached, untranslated.
const std::vector<HelpText>& MainHelpTexts();

// Texts for ids that are not controls of the main dialog: the two line-monitor counters and a
// former menu entry. They are kept so that language files made from them stay valid.
const std::vector<HelpText>& ExtraHelpTexts();
