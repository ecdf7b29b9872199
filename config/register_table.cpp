#include "config/register_table.h"

#include "base/numbers.h"

FieldSpecTable SetupSpecs;

namespace {

std::string Num(int v) { return NumberText(v); }

RegisterField TextBox(int id, const std::string& spec, const std::string& description) {
    return {id, FieldKind::TextBox, "§" + spec + "§" + description};
}

RegisterField CheckBox(int id, const std::string& caption, const std::string& spec, const std::string& description) {
    return {id, FieldKind::CheckBox, caption + "§" + spec + "§" + description};
}

std::vector<RegisterField> MakeRegisterFields() {
    std::vector<RegisterField> f = {
        TextBox(1162, "2,1,2,125", "Zeit für einen Motorschritt x 0.128ms"),
        TextBox(1165, "3,1,5,100", "Pulsbreite (Einschaltzeit in %), wenn Motore drehen"),
        TextBox(1167, "4,1,5,100", "Pulsbreite (Einschaltzeit in %) wenn Motore stehen"),
        TextBox(1169, "8,2,100,32000", "Motorschritte für einen Verfahrweg von 100 mm"),
        TextBox(1171, "10,4,0,2000000,mm", "Zahl der X-Schritte zwischen X-Referenzpunkt und X-Nullpunkt"),
        TextBox(1173, "14,4,0,2000000,mm", "Zahl der Y-Schritte zwischen Y-Referenzpunkt und Y-Nullpunkt"),
        TextBox(1186, "18,4,0,2000000,mm", "Zahl der Z-Schritte zwischen Z-Referenzpunkt und Z-Nullpunkt"),
        TextBox(1188, "22,2,0,32000", "XYZ-Motore abschalten, wenn keine Bewegung"),
        TextBox(1190, "24,2,0,32000", "Fräs-/Bohrmotor ausschalten, wenn keine Bewegung mehr"),
        CheckBox(1174, "Halbschrittbetrieb (5/0)", "5,0,0,0", "aktiv: Motore drehen mit halber Geschwindigkeit"),
        CheckBox(1176, "Echo - OK (6/0)", "6,0,0,0", "Befehls-Echo vom Controller wir mit OK quittiert"),
        CheckBox(1177, "Echo - X/Y/Z/P (6/1)", "6,1,0,0", "Controller-Echo: X/Y/Z-Position und aktuelles Werkzeug (P)"),
        CheckBox(1178, "Echo - Motorstrom (6/2)", "6,2,0,0", "Befehlsquittierung des aktuellen Stromes des Fräsmotors"),
        CheckBox(1179, "Echo - Potiwert (6/3)", "6,3,0,0", "Ausgabe des Potiwertes"),
        CheckBox(1180, "Echo - Counter (6/4)", "6,4,0,0", "Counter (+1) bei jeder Ausgabe"),
        CheckBox(1182, "Hex-Ausgabe (7/0)", "7,0,0,0", "alle Ausgaben al Hexwert (0x1234)"),
        CheckBox(1184, "Debug Zeichen (7/4)", "7,4,0,0", "direkte Rückgabe aller empfangenen Zeichen"),
        CheckBox(1181, "nur Debug (7/6)", "7,6,0,0", "Debug-Mode: keine Aktion der Maschine"),
        CheckBox(1185, "Kommando-Echo (7/7)", "7,7,0,0", "Ausgabe der Befehle, wie sie intern verarbeitet werden"),
    };
    // Tool n's fields have the ids 1200 + 10(n-1) onwards; tool 9's retract bit is 1384, an id
    // the file format fixed long ago.
    for (int n = 1; n <= 9; ++n) {
        const int b = ToolFirstRegister(n);
        const int id = 1200 + 10 * (n - 1);
        const std::string zDescription = n <= 2
                                             ? "Z+  =  Z- / Faktor (Eintauchtempoveringerung Werkzeug " + Num(n) + ")"
                                             : "Eintauchtempoveringerung WZ" + Num(n);
        const std::string xyDescription =
            n <= 2 ? "XY-Tempoveringerung Werkzeug " + Num(n) : "XY - Frästempoverringerung";
        f.push_back(TextBox(id, Num(b) + ",1,1,100", zDescription));
        f.push_back(TextBox(id + 1, Num(b + 1) + ",1,1,100", xyDescription));
        f.push_back(TextBox(id + 2, Num(b + 3) + ",2,1,32000,mm", "Fräser-Eintauchtiefe (ab Z=0)"));
        f.push_back(CheckBox(id + 3, n == 1 ? "n. WZ-Wechsel: Taste drücken" : "", Num(b + 2) + ",0,0,0",
                             "aktiv: Maschine wartet nach WZ-Wechsel auf Tastendruck"));
        f.push_back(CheckBox(n == 9 ? 1384 : id + 4, n == 1 ? "Zminus = Zplus - Tempo" : "", Num(b + 2) + ",1,0,0",
                             "Z-  =  Z+  (Herausfahrtempo=Eintauchtempo)"));
    }
    return f;
}

}  // namespace

const std::vector<RegisterField>& RegisterFields() {
    static const std::vector<RegisterField> fields = MakeRegisterFields();
    return fields;
}

const std::vector<FieldLabel>& RegisterFieldLabels() {
    static const std::vector<FieldLabel> labels = {
        {1163, "Motorschritt-Takt *128ys (2)"},  {1164, "PWM-% bei Motorlauf (3)"},
        {1166, "PWM-% bei Motorstillstand (4)"}, {1168, "Schritte für 100mm (8+9)"},
        {1170, "X-Null ab Ref. (10..13)"},       {1172, "Y-Null ab Ref. (14..17)"},
        {1187, "Z-Null ab Ref. (18..21)"},       {1189, "Motore aus nach Sek (22..23)"},
        {1191, "Fräser aus nach Sek (24..25)"},  {1193, "Frästempo-Faktor Z"},
        {1195, "Frästempo-Faktor X/Y"},          {1197, "Z-Weg ab Z-Null"},
    };
    return labels;
}

void ClearFieldSpecs(FieldSpecTable& table) {
    table.SpecTable.clear();
    table.FieldCount = 0;
}

std::string FieldSpecOfCaption(const std::string& caption) {
    const size_t mark = caption.find(kFieldSpecMark);
    return mark == std::string::npos ? "" : caption.substr(mark + 1);
}

std::string TakeFieldSpec(FieldSpecTable& table, int controlId, const std::string& caption) {
    if (controlId < 1 || controlId > kMaxFieldControlId) return caption;
    const size_t mark = caption.find(kFieldSpecMark);
    if (mark == std::string::npos) return caption;
    std::string entry = FieldSpecOfCaption(caption);
    if (entry.empty()) {
        table.SpecTable.erase(controlId);
    } else {
        table.SpecTable[controlId] = std::move(entry);
    }
    // Counted from the table, so that a control seen twice is still one field.
    table.FieldCount = static_cast<int>(table.SpecTable.size());
    return caption.substr(0, mark);
}

std::string FieldSpecEntry(const FieldSpecTable& table, int controlId) {
    const auto it = table.SpecTable.find(controlId);
    return it == table.SpecTable.end() ? std::string() : it->second;
}

FieldSpec ParseFieldSpec(const std::string& entry) {
    FieldSpec spec;
    const size_t mark = entry.find(kFieldSpecMark);
    const std::string specPart = entry.substr(0, mark);
    if (mark != std::string::npos) spec.description = entry.substr(mark + 1);

    std::vector<std::string> pieces;
    size_t start = 0;
    for (;;) {
        const size_t comma = specPart.find(',', start);
        pieces.push_back(specPart.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    pieces.resize(pieces.size() < 5 ? 5 : pieces.size());

    const int32_t reg = TextToInt32(pieces[0]);
    spec.reg = static_cast<uint16_t>(reg < 0 ? 0 : reg > 65535 ? 65535 : reg);
    spec.width = TextToInt32(pieces[1]);
    spec.minimum = TextToInt32(pieces[2]);
    spec.maximum = TextToInt32(pieces[3]);
    spec.mm = pieces[4].compare(0, 2, "mm") == 0;
    return spec;
}

bool IsBitField(const FieldSpec& spec) { return spec.minimum == 0 && spec.maximum == 0; }

bool FieldFitsRegisters(const FieldSpec& spec) {
    if (spec.reg < 1 || spec.reg > kLastRegister) return false;
    if (IsBitField(spec)) return spec.width >= 0 && spec.width <= 7;
    return spec.width >= 1 && spec.width <= 4 && spec.reg + spec.width - 1 <= kLastRegister;
}

std::vector<int> FieldRegisters(const FieldSpec& spec) {
    std::vector<int> regs;
    if (!FieldFitsRegisters(spec)) return regs;
    const int count = IsBitField(spec) ? 1 : spec.width;
    for (int k = 0; k < count; ++k) regs.push_back(spec.reg + k);
    return regs;
}

std::vector<int32_t> SplitValue(int32_t value, int width) {
    std::vector<int32_t> bytes;
    if (width < 1 || width > 4) return bytes;
    const uint32_t pattern = static_cast<uint32_t>(value);
    for (int k = 0; k < width; ++k) bytes.push_back(static_cast<int32_t>((pattern >> (8 * k)) & 255u));
    return bytes;
}

int32_t JoinValue(const std::vector<int32_t>& bytes) {
    uint32_t pattern = 0;
    for (size_t k = 0; k < bytes.size() && k < 4; ++k) pattern |= (static_cast<uint32_t>(bytes[k]) & 255u) << (8 * k);
    // Two's-complement reading of the pattern without relying on an out-of-range conversion.
    return pattern <= 0x7FFFFFFFu ? static_cast<int32_t>(pattern)
                                  : static_cast<int32_t>(pattern - 0x80000000u) - 0x7FFFFFFF - 1;
}

int BitOf(int32_t entry, int bit) {
    if (bit < 0 || bit > 7) return 0;
    return static_cast<int>((static_cast<uint32_t>(entry) >> bit) & 1u);
}

int32_t WithBit(int32_t entry, int bit, bool on) {
    if (bit < 0 || bit > 7) return entry;
    const int32_t mask = int32_t{1} << bit;
    return on ? (entry | mask) : (entry & ~mask);
}
