#pragma once
// The program's one tooltip window, shared by all its windows.
#include <windows.h>

#include <string>

// The tooltip window, created by the first AddTooltip and owned by that call's window.
HWND TooltipWindow();

// Attaches text (translated by the caller) to the control id of window.
void AddTooltip(HWND window, int id, const std::string& text);
