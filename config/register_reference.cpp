#include "config/register_reference.h"

#include "base/html_text.h"
#include "base/numbers.h"
#include "config/config_file.h"

namespace {

FieldSpec SpecOf(const RegisterField& f) { return ParseFieldSpec(FieldSpecOfCaption(f.caption)); }

std::string OwnCaption(const RegisterField& f) { return f.caption.substr(0, f.caption.find(kFieldSpecMark)); }

// 1 to 9 for a tool's register, 0 for the others.
int ToolOf(const FieldSpec& s) { return s.reg < ToolFirstRegister(1) ? 0 : ToolOfRegister(s.reg); }

std::string Registers(const FieldSpec& s) {
    if (IsBitField(s)) return NumberText(s.reg) + ", Bit " + NumberText(s.width);
    if (s.width <= 1) return NumberText(s.reg);
    return NumberText(s.reg) + "..." + NumberText(int64_t{s.reg} + s.width - 1);
}

// HPGL steps in millimetres as a German text writes them: "0,025", "800".
std::string Millimetres(int32_t steps) {
    std::string t = FormatNumber(steps / double{kPlotterUnitsPerMm}, "0.000");
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
    for (char& c : t)
        if (c == '.') c = ',';
    return t;
}

std::string Range(const FieldSpec& s) {
    if (IsBitField(s)) return "aus / ein";
    std::string r = "von " + NumberText(s.minimum) + " bis " + NumberText(s.maximum);
    if (s.mm) r += " HPGL-Schritten<br>(" + Millimetres(s.minimum) + " bis " + Millimetres(s.maximum) + " mm)";
    return r;
}

std::string Row(const RegisterField& f) {
    const FieldSpec s = SpecOf(f);
    const std::string key = ConfigKey(f.id);
    std::string row = "<tr id=\"feld-" + key + "\">";
    if (const int tool = ToolOf(s)) row += "<td>WZ" + NumberText(tool) + "</td>";
    row += "<td>" + HtmlText(FieldCaption(f)) + "</td>";
    row += "<td class=\"zahl\">" + Registers(s) + "</td>";
    row += "<td>" + Range(s) + "</td>";
    row += "<td>" + HtmlText(s.description) + "</td>";
    row += "<td><code>" + key + "</code></td></tr>\n";
    return row;
}

std::string TableHead(const std::string& title, bool tools) {
    std::string h = "<h3>" + HtmlText(title) + "</h3>\n<table class=\"referenz\">\n<thead><tr>";
    if (tools) h += "<th>Werkzeug</th>";
    h += "<th>Feld</th><th>Register</th><th>Wertebereich</th><th>Info-Zeile (Beschreibung)</th>"
         "<th>Schl&uuml;ssel in der .cfg-Datei</th></tr></thead>\n<tbody>\n";
    return h;
}

}  // namespace

std::string FieldCaption(const RegisterField& field) {
    const FieldSpec s = SpecOf(field);
    if (field.kind == FieldKind::CheckBox) {
        std::string own = OwnCaption(field);
        if (!own.empty()) return own;
        // Tool 1's check box of the same bit explains the row.
        for (const RegisterField& other : RegisterFields()) {
            const FieldSpec o = SpecOf(other);
            if (other.kind == FieldKind::CheckBox && ToolOf(o) == 1 && o.width == s.width) return OwnCaption(other);
        }
        return own;
    }
    const std::vector<FieldLabel>& labels = RegisterFieldLabels();
    constexpr size_t kMotorRows = sizeof kMotorRegisters / sizeof kMotorRegisters[0];
    const int tool = ToolOf(s);
    if (tool == 0) {
        for (size_t i = 0; i < kMotorRows && i < labels.size(); ++i)
            if (kMotorRegisters[i] == s.reg) return labels[i].text;
        return "";
    }
    const int offset = s.reg - ToolFirstRegister(tool);  // 0 Z factor, 1 X/Y factor, 3 depth
    const size_t row = kMotorRows + (offset == 0 ? 0 : offset == 1 ? 1 : 2);
    return row < labels.size() ? labels[row].text : "";
}

std::string RegisterReferenceHtml() {
    std::string motors = TableHead("Motore, Timing", false);
    std::string output = TableHead("Controller - Output", false);
    std::string tools = TableHead("Konfiguration Werkzeuge 1-9", true);
    for (const RegisterField& f : RegisterFields()) {
        const FieldSpec s = SpecOf(f);
        if (ToolOf(s) > 0)
            tools += Row(f);
        else if (s.reg == 6 || s.reg == 7)
            output += Row(f);
        else
            motors += Row(f);
    }
    const std::string end = "</tbody>\n</table>\n";
    return motors + end + output + end + tools + end;
}
