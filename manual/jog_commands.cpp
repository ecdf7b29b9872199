#include "manual/jog_commands.h"

#include "base/control_ids.h"
#include "base/numbers.h"

int64_t JogStepsFromText(const std::string& text) { return RoundToInteger(TextToNumber(text)); }

bool JogStepsValid(int64_t n) { return n >= kMinJogSteps && n <= kMaxJogSteps; }

std::string JogCommand(int id, int64_t n) {
    using namespace ids;
    const std::string s = NumberText(n);
    std::string c;
    switch (id) {
        case JogXPlus: c = "PR" + s + ",0"; break;
        case JogXMinus: c = "PR-" + s + ",0"; break;
        case JogYPlus: c = "PR0," + s; break;
        case JogYMinus: c = "PR0,-" + s; break;
        case JogXPlusYPlus: c = "PR" + s + "," + s; break;
        case JogXMinusYPlus: c = "PR-" + s + "," + s; break;
        case JogXMinusYMinus: c = "PR-" + s + ",-" + s; break;
        case JogXPlusYMinus: c = "PR" + s + ",-" + s; break;
        case JogZUp: c = "ZR-" + s; break;
        case JogZDown: c = "ZR" + s; break;
        case JogPenUp: c = "PU"; break;
        case JogPenDown: c = "PD"; break;
        case JogReference: c = "RE"; break;
        case JogZeroPoint: c = "NU"; break;
        default: return "";
    }
    return c + "\r\n";
}
