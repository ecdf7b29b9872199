#include "config/register_transfer_win.h"

#include <vector>

#include "base/control_colors_win.h"
#include "base/dialog_template_win.h"
#include "base/keep_awake_win.h"
#include "base/message_pump_win.h"
#include "base/process_state.h"
#include "base/progress_win.h"
#include "base/shell_windows_win.h"
#include "config/field_info.h"
#include "config/setup_fields_win.h"
#include "link/transmission_win.h"

namespace {

constexpr uint32_t kWritePauseMs = 25;

// A line's wait for the board ends before its first character when guard (the operation's
// progress window) is closed; without a guard only the end of the program or a search ends it.
SendResult SendLine(const std::string& line, HWND guard) { return SendCommand(line + "\r\n", guard); }

// False, after telling the user, when a command is still going out.
bool BoardFree() {
    if (!TransmissionBusy()) return true;
    MessageBoxA(Ui.MainDialog, kBoardBusyMessage, kBoardBusyTitle, MB_ICONSTOP | MB_TASKMODAL);
    return false;
}

void ForgetRegisterImage() {
    if (!App.RegisterImage) AllocateRegisterImage();
    for (int r = 1; r <= kLastRegister; ++r) App.RegisterImage[r].store(-1);
}

// Marks a transfer for its whole length (App.TransferRunning).
struct TransferMark {
    TransferMark() { App.TransferRunning = true; }
    ~TransferMark() { App.TransferRunning = false; }
    TransferMark(const TransferMark&) = delete;
    TransferMark& operator=(const TransferMark&) = delete;
};

// The user closed the progress window, or the dialog it serves has gone.
bool Stopped(HWND progress, HWND dialog) { return !IsWindow(progress) || !IsWindow(dialog); }

// Waits, the windows served, until the board has reported reg; false when the read is to end
// instead.
bool AwaitRegister(int reg, HWND progress, HWND dialog) {
    const bool quit =
        !WaitWhile([&] { return App.RegisterImage[reg].load() == -1 && !Stopped(progress, dialog); }, kWaitForBoard);
    return !quit && !Stopped(progress, dialog);
}

void ApplyRead(HWND dialog, const ReadStep& step, ReadMode mode) {
    std::vector<int32_t> entries;
    for (int reg : step.valueRegisters) entries.push_back(App.RegisterImage[reg].load());
    HWND control = GetDlgItem(dialog, step.controlId);
    if (IsBitField(step.spec)) {
        const bool board = ReadFieldChecked(step.spec, entries);
        if (mode == ReadMode::Read) {
            SendMessageA(control, BM_SETCHECK, board ? BST_CHECKED : BST_UNCHECKED, 0);
        } else {
            const bool shown = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            SetControlColors(control, shown == board ? kColorCheckSame : kColorDifferent, kColorFieldText);
        }
        return;
    }
    if (mode == ReadMode::Read) {
        // The change notification that follows recolors the field by its range.
        SetWindowTextA(control, ReadFieldText(entries).c_str());
    } else {
        const bool same = TextMatchesValue(ControlText(control), JoinValue(entries));
        SetControlColors(control, same ? kColorTextSame : kColorDifferent, kColorFieldText);
    }
}

}  // namespace

void WriteRegisters(HWND dialog) {
    SetupOperation operation;
    if (!operation.entered || !BoardFree()) return;
    KeepAwake awake;
    TransferMark mark;
    // A search closes the port: nothing more of the write goes to the one it finds.
    const uint32_t closings = PortClosings();
    HWND progress = ShowProgress(dialog, kWriteProgressCaption);
    ForgetRegisterImage();
    const WritePlan plan = PlanWrite(SetupSpecs, CollectFieldInputs(dialog));
    if (!plan.inRange) {
        CloseProgress(progress);
        MessageBoxA(Ui.MainDialog, plan.rangeMessage.c_str(), kRangeMessageTitle, MB_ICONSTOP | MB_TASKMODAL);
        return;
    }
    for (const RegisterWrite& w : plan.writes) App.RegisterImage[w.reg].store(w.value);

    const int n = static_cast<int>(plan.writes.size());
    bool stopped = false;
    for (int i = 1; i <= n; ++i) {
        const RegisterWrite& w = plan.writes[static_cast<size_t>(i - 1)];
        const bool fieldStarts = i == 1 || plan.writes[static_cast<size_t>(i - 2)].lastOfField;
        // Closing the progress window or the setup dialog ends the sending between two fields:
        // a field begun is finished (at most three more lines), none is left half new.
        if (stopped && fieldStarts) break;
        const std::string line = WriteLine(w.reg, w.value);
        const double percent = TransferPercent(i, n);
        if (IsWindow(progress))
            SetProgress(progress, ProgressBarPosition(percent), TransferProgressText(line, percent));
        // A port lost meanwhile (a search in the pause, the program closing) gets nothing more,
        // not even the store command, and the one a search found gets none of it.
        if (PortClosings() != closings || !MainDialogExists()) return CloseProgress(progress);
        const bool sent = SendLine(line, fieldStarts ? progress : nullptr) != SendResult::Abandoned;
        if (!sent && (!fieldStarts || PortClosings() != closings || !MainDialogExists()))
            return CloseProgress(progress);
        if (!sent) break;  // the progress window closed before this field began: it is left out
        // The windows are served throughout the pause: the board echoes each line, and the
        // receive thread's reports would otherwise queue up in front of the user's click on
        // the progress window's close box until the write is over.
        WaitServing(kWritePauseMs, kWaitForBoard);
        stopped = stopped || !IsWindow(progress) || !IsWindow(dialog);
    }
    // What did reach the board is stored, also when the user stopped the sending.
    if (PortClosings() == closings) SendLine(kStoreCommand, nullptr);
    CloseProgress(progress);
}

void ReadRegisters(HWND dialog, ReadMode mode) {
    SetupOperation operation;
    if (!operation.entered || !BoardFree()) return;
    KeepAwake awake;
    TransferMark mark;
    HWND progress = ShowProgress(dialog, kReadProgressCaption);
    ForgetRegisterImage();
    for (const ReadStep& step : PlanRead(SetupSpecs)) {
        const double percent = TransferPercent(step.fieldNumber, SetupSpecs.FieldCount);
        for (int reg : step.fetch) {
            const std::string line = ReadLine(reg);
            SetProgress(progress, ProgressBarPosition(percent), TransferProgressText(line, percent));
            SendLine(line, progress);
            // No time-out: a board that does not answer keeps the read waiting until the user
            // closes the progress window.
            if (!AwaitRegister(reg, progress, dialog)) {
                CloseProgress(progress);
                return;
            }
        }
        ApplyRead(dialog, step, mode);
    }
    CloseProgress(progress);
}

void FactoryReset() {
    if (!BoardFree()) return;
    if (MessageBoxA(Ui.MainDialog, kFactoryResetQuestion, kFactoryResetTitle,
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TASKMODAL) != IDYES)
        return;
    // The board may have become busy while the question was open.
    if (BoardFree()) SendLine(kFactoryResetCommand, nullptr);
}
