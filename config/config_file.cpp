#include "config/config_file.h"

#include <cerrno>
#include <cstdio>

#include "base/numbers.h"
#include "base/paths.h"

std::string ControllerFilePath;

std::string ResolveControllerFilePath(const std::string& path,
                                      const std::string& currentDirectory) {
    const std::string p = path.empty() ? currentDirectory + "\\" + kDefaultConfigName : path;
    return CollapseDoubleBackslashes(p);
}

std::string ConfigKey(int controlId) {
    std::string digits = NumberText(controlId);
    if (controlId >= 0 && digits.size() < 5) digits.insert(0, 5 - digits.size(), '0');
    return digits;
}

namespace {

std::string CutAtLineBreak(const std::string& s) { return s.substr(0, s.find_first_of("\r\n")); }

}  // namespace

std::vector<ConfigEntry> ConfigEntries(const FieldSpecTable& table, const FieldInputs& inputs) {
    std::vector<ConfigEntry> entries;
    for (const auto& [id, entry] : table.SpecTable) {
        const auto it = inputs.find(id);
        const FieldInput input = it == inputs.end() ? FieldInput{} : it->second;
        const std::string value = IsBitField(ParseFieldSpec(entry))
                                      ? NumberTextSpaced(input.checked ? 1 : 0)
                                      : CutAtLineBreak(input.text.substr(0, kConfigValueMaxSave));
        entries.push_back({ConfigKey(id), value});
    }
    return entries;
}

FieldInput FieldFromConfigValue(const FieldSpec& spec, const std::string& value) {
    FieldInput input;
    if (IsBitField(spec)) {
        input.checked = TextToInt32(value) == 1;
    } else {
        input.text = value;
    }
    return input;
}

FieldInputs FieldsFromConfigText(const FieldSpecTable& table, const std::string& text) {
    FieldInputs inputs;
    for (const auto& [id, entry] : table.SpecTable) {
        std::string value;
        IniGetValue(text, kConfigSection, ConfigKey(id), value);
        inputs[id] = FieldFromConfigValue(ParseFieldSpec(entry), value);
    }
    return inputs;
}

namespace {

struct IniLine {
    size_t start;       // first byte of the line
    size_t contentEnd;  // before its CR LF or LF
    size_t end;         // after its line end (== contentEnd for a last line without one)
};

std::vector<IniLine> SplitLines(const std::string& text) {
    std::vector<IniLine> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string::npos) {
            lines.push_back({start, text.size(), text.size()});
            break;
        }
        const size_t contentEnd = lf > start && text[lf - 1] == '\r' ? lf - 1 : lf;
        lines.push_back({start, contentEnd, lf + 1});
        start = lf + 1;
    }
    return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

std::string Content(const std::string& text, const IniLine& line) {
    return text.substr(line.start, line.contentEnd - line.start);
}

// The section name when the line is a section header.
bool SectionName(const std::string& content, std::string& name) {
    const std::string t = Trim(content);
    if (t.empty() || t[0] != '[') return false;
    const size_t close = t.find(']');
    name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// Key and raw value when the line is an entry.
bool EntryParts(const std::string& content, std::string& key, std::string& value) {
    const size_t eq = content.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(content.substr(0, eq));
    value = content.substr(eq + 1);
    return true;
}

// The index of the section's header line, or lines.size() when it is not there.
size_t FindSection(const std::string& text, const std::vector<IniLine>& lines,
                   const std::string& section) {
    const std::string wanted = Trim(section);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (SectionName(Content(text, lines[i]), name) && SameName(name, wanted)) return i;
    }
    return lines.size();
}

}  // namespace

bool IniGetValue(const std::string& text, const std::string& section, const std::string& key,
                 std::string& value, int maxChars) {
    value.clear();
    const std::vector<IniLine> lines = SplitLines(text);
    const std::string wantedKey = Trim(key);
    for (size_t i = FindSection(text, lines, section) + 1; i < lines.size(); ++i) {
        const std::string content = Content(text, lines[i]);
        std::string name, raw;
        if (SectionName(content, name)) break;
        if (!EntryParts(content, name, raw) || !SameName(name, wantedKey)) continue;
        value = Trim(raw);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        const size_t limit = maxChars < 0 ? 0 : static_cast<size_t>(maxChars);
        if (value.size() > limit) value.resize(limit);
        return true;
    }
    return false;
}

void IniSetValue(std::string& text, const std::string& section, const std::string& key,
                 const std::string& value) {
    const std::string line = key + "=" + CutAtLineBreak(value);
    const std::vector<IniLine> lines = SplitLines(text);
    const size_t header = FindSection(text, lines, section);
    if (header == lines.size()) {
        if (!text.empty() && text.back() != '\n') text += "\r\n";
        text += "[" + section + "]\r\n" + line + "\r\n";
        return;
    }
    const std::string wantedKey = Trim(key);
    size_t last = header;  // the section's last non-blank line
    for (size_t i = header + 1; i < lines.size(); ++i) {
        const std::string content = Content(text, lines[i]);
        std::string name, raw;
        if (SectionName(content, name)) break;
        if (EntryParts(content, name, raw) && SameName(name, wantedKey)) {
            text.replace(lines[i].start, lines[i].contentEnd - lines[i].start, line);
            return;
        }
        if (!Trim(content).empty()) last = i;
    }
    size_t at = lines[last].end;
    if (lines[last].end == lines[last].contentEnd) {  // the file's last line, without a line end
        text.insert(at, "\r\n");
        at += 2;
    }
    text.insert(at, line + "\r\n");
}

namespace {

bool ReadAll(std::FILE* f, std::string& text) {
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
    return !std::ferror(f);
}

}  // namespace

bool ReadConfigFile(const std::string& path, std::string& text) {
    text.clear();
    if (path.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    const bool ok = ReadAll(f, text);
    std::fclose(f);
    if (!ok) text.clear();
    return ok;
}

bool WriteConfigFile(const std::string& path, const std::vector<ConfigEntry>& entries) {
    if (path.empty()) return false;
    std::string text;
    errno = 0;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        const bool ok = ReadAll(f, text);
        std::fclose(f);
        // A file we cannot read we must not overwrite with only our section.
        if (!ok) return false;
    } else if (errno != ENOENT) {
        return false;
    }
    for (const ConfigEntry& e : entries) IniSetValue(text, kConfigSection, e.key, e.value);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    // A full disk may show only when the buffer is flushed.
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

std::string SaveFailedMessage(const std::string& path) {
    return "Die Konfiguration konnte nicht gespeichert werden:\r\n" + path;
}
