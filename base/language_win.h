#pragma once
// Translate over the process's language table, located through the program's configuration
// file (section "files", keys "lang" and "langdir") and the current directory.
#include <string>

// The language table's replacement of a German text, or the text itself. "$NEW$" reloads the
// table, "$SAVE$" writes it back to the language file.
std::string Translate(const std::string& text);
