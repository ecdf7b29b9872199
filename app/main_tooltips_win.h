#pragma once
// The tooltips of the main dialog.
#include <vector>

#include "base/help_texts.h"

// The main dialog's help texts, translated, in attach order.
std::vector<HelpText> BuildHelpTexts();
// Attaches the main dialog's help texts, unless win.ini's "notooltips" is above 0.
void CreateTooltips();
