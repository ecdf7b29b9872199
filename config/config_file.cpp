#include "config/config_file.h"

#include <cerrno>
#include <cstdio>
#include <map>

#include "base/cp1252.h"
#include "base/numbers.h"
#include "base/paths.h"

std::string ControllerFilePath;

std::string ResolveControllerFilePath(const std::string& path, const std::string& currentDirectory) {
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
    const IniValues values = IniGetValues(text, kConfigSection);
    FieldInputs inputs;
    for (const auto& [id, entry] : table.SpecTable) {
        const auto it = values.find(IniName(ConfigKey(id)));
        inputs[id] = FieldFromConfigValue(ParseFieldSpec(entry), it == values.end() ? std::string() : it->second);
    }
    return inputs;
}

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

struct IniLine {
    size_t start;       // first byte of the line
    size_t contentEnd;  // before its CR LF or LF
    size_t end;         // after its line end (== contentEnd for a last line without one)
};

// The lines of text; a UTF-8 byte-order mark before the first line is not part of it.
std::vector<IniLine> SplitLines(const std::string& text) {
    std::vector<IniLine> lines;
    size_t start = text.compare(0, 3, kUtf8Bom) == 0 ? 3 : 0;
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

// The lines of the first section called section: [first, last) after its header, or
// first == lines.size() when there is none.
struct SectionLines {
    size_t header, first, last;
};
SectionLines FindSection(const std::string& text, const std::vector<IniLine>& lines, const std::string& section) {
    const std::string wanted = IniName(section);
    size_t i = 0;
    for (std::string name; i < lines.size(); ++i)
        if (SectionName(Content(text, lines[i]), name) && IniName(name) == wanted) break;
    if (i == lines.size()) return {i, i, i};
    size_t end = i + 1;
    for (std::string name; end < lines.size() && !SectionName(Content(text, lines[end]), name);) ++end;
    return {i, i + 1, end};
}

}  // namespace

std::string IniName(const std::string& name) {
    std::string n = Trim(name);
    for (char& c : n)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return n;
}

IniValues IniGetValues(const std::string& text, const std::string& section, int maxChars) {
    IniValues values;
    const std::vector<IniLine> lines = SplitLines(text);
    const SectionLines sec = FindSection(text, lines, section);
    const size_t limit = maxChars < 0 ? 0 : static_cast<size_t>(maxChars);
    for (size_t i = sec.first; i < sec.last; ++i) {
        std::string name, raw;
        if (!EntryParts(Content(text, lines[i]), name, raw)) continue;
        std::string value = Trim(raw);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.size() > limit) value.resize(limit);
        values.emplace(IniName(name), value);  // the first entry of a key counts
    }
    return values;
}

void IniSetValues(std::string& text, const std::string& section, const std::vector<ConfigEntry>& entries) {
    const std::vector<IniLine> lines = SplitLines(text);
    const SectionLines sec = FindSection(text, lines, section);
    // Which line each key is on now (its first entry), and which keys are new.
    std::map<std::string, size_t> lineOfKey;
    size_t lastFilled = sec.header;  // the section's last non-blank line
    for (size_t i = sec.first; i < sec.last; ++i) {
        const std::string content = Content(text, lines[i]);
        std::string name, raw;
        if (EntryParts(content, name, raw)) lineOfKey.emplace(IniName(name), i);
        if (!Trim(content).empty()) lastFilled = i;
    }
    std::map<size_t, std::string> replaced;
    std::string added;
    for (const ConfigEntry& e : entries) {
        const std::string line = e.key + "=" + CutAtLineBreak(e.value);
        const auto it = lineOfKey.find(IniName(e.key));
        if (it != lineOfKey.end())
            replaced[it->second] = line;
        else
            added += line + "\r\n";
    }

    std::string out;
    out.reserve(text.size() + added.size() + section.size() + 8);
    out.append(text, 0, lines.empty() ? text.size() : lines[0].start);  // the byte-order mark
    for (size_t i = 0; i < lines.size(); ++i) {
        const IniLine& l = lines[i];
        const auto r = replaced.find(i);
        if (r != replaced.end()) {
            out += r->second;
            out.append(text, l.contentEnd, l.end - l.contentEnd);
        } else {
            out.append(text, l.start, l.end - l.start);
        }
        if (i == lastFilled && sec.header < lines.size() && !added.empty()) {
            if (l.end == l.contentEnd) out += "\r\n";  // the file's last line, without a line end
            out += added;
        }
    }
    if (sec.header == lines.size()) {
        if (!out.empty() && out.back() != '\n') out += "\r\n";
        out += "[" + section + "]\r\n" + added;
    }
    text.swap(out);
}

namespace {

// Reads at most limit bytes; more means the file is not what it claims to be.
ConfigRead ReadLimited(std::FILE* f, std::string& text, size_t limit) {
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (text.size() + got > limit) return ConfigRead::TooLarge;
        text.append(buffer, got);
    }
    return std::ferror(f) ? ConfigRead::Unreadable : ConfigRead::Ok;
}

bool RenameOver(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

}  // namespace

ConfigRead ReadConfigFile(const std::string& path, std::string& text) {
    text.clear();
    if (path.empty()) return ConfigRead::Missing;
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return errno == ENOENT ? ConfigRead::Missing : ConfigRead::Unreadable;
    const ConfigRead result = ReadLimited(f, text, kConfigFileMaxBytes);
    std::fclose(f);
    if (result != ConfigRead::Ok) text.clear();
    // An editor may have saved it as Unicode; from here on it is the program's text, and a save
    // writes it back whole in that form, never a mixture of the two.
    text = Cp1252FromUtf16Text(text);
    return result;
}

bool WriteConfigFile(const std::string& path, const std::vector<ConfigEntry>& entries, ReplaceFileFn replace) {
    if (path.empty()) return false;
    std::string text;
    // A file we cannot read whole we must not overwrite with only our section.
    const ConfigRead read = ReadConfigFile(path, text);
    if (read != ConfigRead::Ok && read != ConfigRead::Missing) return false;
    IniSetValues(text, kConfigSection, entries);
    // The new file is written beside the old one and takes its place only when complete: a
    // failure part-way (a full disk) leaves the old file whole.
    const std::string temp = path + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    // A full disk may show only when the buffer is flushed.
    const bool closed = std::fclose(f) == 0;
    if (written && closed && (replace ? replace : RenameOver)(temp, path)) return true;
    std::remove(temp.c_str());
    return false;
}

std::string SaveFailedMessage(const std::string& path) {
    return "Die Konfiguration konnte nicht gespeichert werden:\r\n" + path;
}

std::string LoadFailedMessage(ConfigRead why, const std::string& path) {
    const std::string reason = why == ConfigRead::TooLarge
                                   ? "Die Datei ist zu groß für eine Controller-Konfiguration:\r\n"
                                   : "Die Datei konnte nicht gelesen werden:\r\n";
    return reason + path + "\r\nDie Felder bleiben unverändert.";
}
