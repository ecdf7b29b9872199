#include "config/setup_fields_win.h"

#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "base/dialog_template_win.h"
#include "base/shell_windows_win.h"
#include "config/field_info.h"

bool SetupBusy = false;

namespace {
bool IsBitEntry(int id) { return IsBitField(ParseFieldSpec(FieldSpecEntry(SetupSpecs, id))); }
}  // namespace

bool SetupDialogExists() { return Ui.SetupDialog && IsWindow(Ui.SetupDialog); }

void ShowFieldInfo(HWND window, int id) {
    if (id < 1 || id > kMaxFieldControlId) return;
    const std::string entry = FieldSpecEntry(SetupSpecs, id);
    if (entry.empty()) return;
    HWND control = GetDlgItem(window, id);
    const FieldInfo info = MakeFieldInfo(entry, ControlText(control));
    if (info.numeric) SetControlColors(control, info.inRange ? kColorInRange : kColorOutOfRange, kColorFieldText);
    SetDlgItemTextA(window, ids::SetupStatusBar, info.line.c_str());
}

FieldInputs CollectFieldInputs(HWND dialog) {
    FieldInputs inputs;
    for (const auto& entry : SetupSpecs.SpecTable) {
        const int id = entry.first;
        HWND control = GetDlgItem(dialog, id);
        FieldInput input;
        if (IsBitField(ParseFieldSpec(entry.second)))
            input.checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        else
            input.text = ControlText(control);
        inputs[id] = input;
    }
    return inputs;
}

void SetFieldInput(HWND dialog, int id, const FieldInput& input) {
    if (IsBitEntry(id))
        CheckDlgButton(dialog, id, input.checked ? BST_CHECKED : BST_UNCHECKED);
    else
        SetDlgItemTextA(dialog, id, input.text.c_str());
}
