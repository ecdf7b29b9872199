#include "link/line_monitor.h"

#include <algorithm>

#include "base/numbers.h"

namespace {

std::string Showable(const std::string& text) {
    std::string s = text;
    std::replace(s.begin(), s.end(), '\0', ' ');
    return s;
}

}  // namespace

std::string AppendToTxMonitor(const std::string& box, const std::string& text) {
    std::string s = box + Showable(text);
    const auto crs = std::count(s.begin(), s.end(), '\r');
    // Dropping the pieces one at a time ends right after the (crs - 12)th CR.
    size_t cut = 0;
    for (auto n = crs - kTxMonitorMaxCRs; n > 0; --n) cut = s.find('\r', cut) + 1;
    cut = std::max(cut, s.size() > kTxMonitorMaxChars ? s.size() - kTxMonitorMaxChars : 0);
    return s.substr(cut);
}

std::string AppendToRxMonitor(const std::string& box, const std::string& chunk) {
    std::string s = box + Showable(chunk);
    const size_t keep = static_cast<size_t>(kRxMonitorMaxChars);
    if (s.size() > keep) s.erase(0, s.size() - keep);
    return s;
}

void ParseMonitorPosition(const std::string& value, int& left, int& top) {
    const size_t comma = value.find(',');
    left = TextToInt32(value.substr(0, comma));
    top = comma == std::string::npos ? 0 : TextToInt32(value.substr(comma + 1));
}

std::string FormatMonitorPosition(int left, int top) { return NumberTextSpaced(left) + "," + NumberTextSpaced(top); }
