#pragma once
// The progress window of long operations: a bar and a line of text. Closing it is how the
// user cancels the operation that opened it.
#include <windows.h>

#include <string>

// Opens a progress window owned by parent, titled caption; bar at 0, text empty.
HWND ShowProgress(HWND parent, const std::string& caption);
// Bar position 0..100 and the text line; both do nothing once the window is gone.
void SetProgress(HWND progress, int percent, const std::string& text);
// Destroys the window if it still exists.
void CloseProgress(HWND progress);
