#include "manual/direct_command_win.h"

#include <windows.h>

#include <string>

#include "base/control_ids.h"
#include "base/shell_windows_win.h"
#include "link/transmission_win.h"

void SubmitDirectCommand() {
    HWND box = GetDlgItem(Ui.mainDialog, ids::TxtCommand);
    if (!box) return;
    const int length = GetWindowTextLengthA(box);
    if (length <= 0) return;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int n = GetWindowTextA(box, &text[0], length + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    if (text.find('\r') == std::string::npos) return;  // still typing
    // Emptying the box notifies again; by then it holds no CR.
    SetWindowTextA(box, "");
    SendMessageA(box, EM_LINESCROLL, 0, 32767);
    SendCommand(text);
}
