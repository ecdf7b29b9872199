#pragma once
#include <string>
#include <vector>

// Every text a language file can replace: the tooltips of the program's windows, in German,
// keyed by control id, and the run-mode captions. They are the keys of the language files too,
// so every byte (CR LF breaks, double blanks) matters.
struct HelpText {
    int id;
    std::string text;
};

// The main dialog's table in the order the tooltips are attached, untranslated.
const std::vector<HelpText>& MainHelpTexts();

// Texts for ids that are not controls of the main dialog: the two line-monitor counters and a
// former menu entry. They are kept so that language files made from them stay valid.
const std::vector<HelpText>& ExtraHelpTexts();

// The line monitor's tooltips on its two data boxes.
const std::vector<HelpText>& MonitorHelpTexts();

// The setup dialog's tooltips on its buttons (OK has none).
const std::vector<HelpText>& SetupHelpTexts();

// The captions of the group box FrmAuto while no run, an automatic run or a step run is active.
// Like the tooltips they pass through the language table; the caption "Automatik:" that the
// end of a run shows until the next tick does not.
constexpr const char* kRunCaptionIdle = "Start/Step/Stop Automatik";
constexpr const char* kRunCaptionAuto = "Automatikbetrieb läuft..";
constexpr const char* kRunCaptionStep = "Schrittbetrieb";
