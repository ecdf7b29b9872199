#include "config/register_transfer.h"

#include <map>
#include <set>

#include "base/numbers.h"

std::string WriteLine(int reg, int32_t value) { return "PX" + NumberText(reg) + "," + NumberText(value); }

std::string ReadLine(int reg) { return "PX0," + NumberText(reg); }

double TransferPercent(int i, int n) { return n > 0 ? 100.0 * i / n : 0.0; }

int ProgressBarPosition(double percent) {
    const int64_t p = RoundToInteger(percent);
    return static_cast<int>(p < 0 ? 0 : p > 100 ? 100 : p);
}

std::string TransferProgressText(const std::string& line, double percent) {
    std::string text = line;
    if (text.size() < 20) text.append(20 - text.size(), ' ');
    return text + "   " + FormatNumber(percent, "0.00") + "%";
}

std::string RangeMessage(int32_t value, int reg, int32_t minimum, int32_t maximum) {
    return "Der Wert (" + NumberText(value) + ") im Feld für das/die Register" + NumberTextSpaced(reg) +
           "\r\nist nicht im erlaubten Bereich (" + NumberText(minimum) + "..." + NumberText(maximum) + ")\r\n";
}

namespace {

FieldInput InputOf(const FieldInputs& inputs, int id) {
    const auto it = inputs.find(id);
    return it == inputs.end() ? FieldInput{} : it->second;
}

}  // namespace

WritePlan PlanWrite(const FieldSpecTable& table, const FieldInputs& inputs) {
    WritePlan plan;
    std::map<int, int32_t> image;  // the prepared entries; absent means "not to be written"
    std::set<int> continued;       // registers whose field goes on in the next one
    for (const auto& [id, entry] : table.SpecTable) {
        const FieldSpec spec = ParseFieldSpec(entry);
        if (!FieldFitsRegisters(spec)) continue;
        const FieldInput input = InputOf(inputs, id);
        if (IsBitField(spec)) {
            int32_t& e = image.emplace(spec.reg, 0).first->second;
            e = WithBit(e, spec.width, input.checked);
            continue;
        }
        const int32_t value = TextToInt32(input.text);
        if (value < spec.minimum || value > spec.maximum) {
            plan.inRange = false;
            plan.rangeMessage = RangeMessage(value, spec.reg, spec.minimum, spec.maximum);
            return plan;
        }
        const std::vector<int32_t> bytes = SplitValue(value, spec.width);
        for (size_t k = 0; k < bytes.size(); ++k) {
            image[spec.reg + static_cast<int>(k)] = bytes[k];
            if (k + 1 < bytes.size()) continued.insert(spec.reg + static_cast<int>(k));
        }
    }
    for (const auto& [reg, value] : image) plan.writes.push_back({reg, value, continued.count(reg) == 0});
    return plan;
}

std::vector<ReadStep> PlanRead(const FieldSpecTable& table) {
    std::vector<ReadStep> steps;
    std::set<int> asked;
    int fieldNumber = 0;
    for (const auto& [id, entry] : table.SpecTable) {
        ++fieldNumber;
        ReadStep step;
        step.controlId = id;
        step.spec = ParseFieldSpec(entry);
        step.fieldNumber = fieldNumber;
        step.valueRegisters = FieldRegisters(step.spec);
        if (step.valueRegisters.empty()) continue;
        for (int reg : step.valueRegisters)
            if (asked.insert(reg).second) step.fetch.push_back(reg);
        steps.push_back(std::move(step));
    }
    return steps;
}

std::string ReadFieldText(const std::vector<int32_t>& entries) { return NumberText(JoinValue(entries)); }

bool ReadFieldChecked(const FieldSpec& spec, const std::vector<int32_t>& entries) {
    return !entries.empty() && BitOf(entries[0], spec.width) == 1;
}

bool TextMatchesValue(const std::string& text, int32_t value) {
    return TextToNumber(text) == static_cast<double>(value);
}
