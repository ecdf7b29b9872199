#include "config/field_info.h"

#include "base/numbers.h"
#include "config/register_table.h"

FieldInfo MakeFieldInfo(const std::string& entry, const std::string& controlText) {
    const FieldSpec spec = ParseFieldSpec(entry);
    FieldInfo info;
    std::string& line = info.line;
    line = "KT4180-Register:" + NumberTextSpaced(spec.reg);
    if (IsBitField(spec)) {
        line += ", Bit:" + NumberTextSpaced(spec.width) + "  " + spec.description;
        return info;
    }
    const int32_t value = TextToInt32(controlText);
    info.numeric = true;
    info.inRange = spec.minimum <= value && value <= spec.maximum;
    // 64-bit, so that a nonsense width cannot overflow the last register's number.
    if (spec.width > 1) line += "..." + NumberText(int64_t{spec.reg} + spec.width - 1);
    line += " =" + NumberTextSpaced(value);
    line += ",  Wertebereich von" + NumberTextSpaced(spec.minimum);
    line += " bis" + NumberTextSpaced(spec.maximum) + "   ";
    if (spec.mm) {
        line += "  (" + NumberTextSpaced(value) +
                " HPGL-Schritte = " + FormatNumber(static_cast<double>(value) / kPlotterUnitsPerMm, "0.00") + "mm)";
    }
    return info;
}
