#pragma once
// The program's one tooltip window and the help texts of the main dialog.
#include <windows.h>

#include <string>
#include <vector>

#include "app/help_texts.h"

// The tooltip window, created by the first AddTooltip and owned by that call's window.
HWND TooltipWindow();

// Attaches text (translated by the caller) to the control id of window.
void AddTooltip(HWND window, int id, const std::string& text);
// The main dialog's help texts, translated, in attach order.
std::vector<HelpText> BuildHelpTexts();
// Attaches the main dialog's help texts, unless win.ini's "notooltips" is above 0.
void CreateTooltips();
