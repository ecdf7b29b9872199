#pragma once
// Background and text colors of single controls, applied through the WM_CTLCOLOR* messages
// of their dialog. User-interface thread only.
#include <windows.h>

constexpr COLORREF kDefaultTextColor = CLR_INVALID;

// Gives control a background color (and a text color, or the system's) and redraws it.
void SetControlColors(HWND control, COLORREF background, COLORREF text = kDefaultTextColor);
// Forgets the colors of window and its controls; called when window is being destroyed.
void ForgetControlColors(HWND window);
// Answers a WM_CTLCOLOR* message for control: sets the colors on dc and returns the brush,
// or nullptr when the control has no colors of its own.
HBRUSH ControlColorBrush(HWND control, HDC dc);

// Group boxes do not paint their inside; a colored one is filled by its dialog when the
// dialog erases its background. Returns true when it painted the dialog's background.
bool PaintDialogBackground(HWND dialog, HDC dc);
