#include "manual/direct_command_win.h"

#include <windows.h>

#include <string>

#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/shell_windows_win.h"
#include "link/transmission_win.h"

void SubmitDirectCommand() {
    HWND box = GetDlgItem(Ui.MainDialog, ids::TxtCommand);
    if (!box) return;
    const std::string text = ControlText(box);
    if (text.find('\r') == std::string::npos) return;  // still typing
    // Emptying the box notifies again; by then it holds no CR.
    SetWindowTextA(box, "");
    SendMessageA(box, EM_LINESCROLL, 0, 32767);
    SendCommand(text);
}
