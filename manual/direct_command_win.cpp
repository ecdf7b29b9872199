#include "manual/direct_command_win.h"

#include <windows.h>

#include <string>

#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/shell_windows_win.h"
#include "link/board_commands.h"
#include "link/transmission_win.h"

namespace {
bool Restoring = false;  // the box's own change while a refused command is put back
}  // namespace

void SubmitDirectCommand() {
    HWND box = GetDlgItem(Ui.MainDialog, ids::TxtCommand);
    if (!box || Restoring) return;
    const std::string text = ControlText(box);
    if (text.find('\r') == std::string::npos) return;  // still typing
    // Another command already waits behind the one going out: this one would be refused. It
    // stays in the box without the line break Enter just put before the caret, so that the
    // next Enter sends it.
    if (CommandWaiting()) {
        DWORD from = 0, to = 0;
        SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        if (to >= 2 && to <= text.size() && text.compare(to - 2, 2, "\r\n") == 0) {
            Restoring = true;
            SendMessageA(box, EM_SETSEL, to - 2, to);
            SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
            Restoring = false;
        }
        MessageBoxA(Ui.MainDialog, kBoardBusyMessage, kBoardBusyTitle, MB_ICONSTOP | MB_TASKMODAL);
        return;
    }
    // Emptying the box notifies again; by then it holds no CR.
    SetWindowTextA(box, "");
    SendMessageA(box, EM_LINESCROLL, 0, 32767);
    SendCommand(text);
}
