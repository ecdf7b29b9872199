#include "app/main_tooltips_win.h"

#include "base/language_win.h"
#include "base/numbers.h"
#include "base/settings_win.h"
#include "base/shell_windows_win.h"
#include "base/tooltips_win.h"

std::vector<HelpText> BuildHelpTexts() {
    std::vector<HelpText> out;
    for (const HelpText& h : MainHelpTexts()) out.push_back({h.id, Translate(h.text)});
    // Not controls of the main dialog: translated so that a saved language file holds them,
    // attached where their controls live.
    for (const HelpText& h : ExtraHelpTexts()) Translate(h.text);
    return out;
}

void CreateTooltips() {
    if (TextToNumber(ReadProfileValue("notooltips", "?")) > 0) return;
    for (const HelpText& h : BuildHelpTexts()) {
        if (!MainDialogExists()) return;
        AddTooltip(Ui.MainDialog, h.id, h.text);
    }
}
