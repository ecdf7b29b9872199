#pragma once
// Program texts as HTML that stays plain ASCII: the manual's pages are read from the file system
// by any browser, whatever code page it assumes.
#include <string>

// The Windows-1252 text with "&", "<", ">" and '"' escaped and every byte above 127 written as
// an entity: named for the German letters and "§" ("&auml;", "&szlig;", "&sect;"), numeric
// (the Unicode code point) for the rest. Line breaks and blanks stay as they are.
std::string HtmlText(const std::string& cp1252);
