#pragma once
// The texts a language file can replace, as the manual lists them and as a template file to
// start a language file from.
#include <string>
#include <vector>

struct TranslatableGroup {
    std::string title;               // where the texts show, German, Windows-1252
    std::vector<std::string> texts;  // untranslated, in the order the program looks them up
};

// The main dialog's tooltips, the line monitor's, the setup dialog's and the run-mode captions.
// Texts the program looks up but never shows (a former menu entry) are left out.
std::vector<TranslatableGroup> TranslatableTexts();

// An HTML section per group: a heading and a table of key (16 hex digits) and text, each text
// in a cell that keeps its blanks and line breaks. ASCII only.
std::string LanguageKeysHtml();

// A language file that replaces every text by itself, in the program's format ("$" key "$="
// text CR LF, Windows-1252): the user changes the texts and keeps the markers.
std::string LanguageTemplate();
