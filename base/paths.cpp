#include "base/paths.h"

std::string FileNamePart(const std::string& path, const char* separators) {
    const size_t cut = path.find_last_of(separators);
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string CollapseDoubleBackslashes(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    size_t i = 0;
    if (path.compare(0, 2, "\\\\") == 0 && path.compare(0, 3, "\\\\\\") != 0) {
        out = "\\\\";
        i = 2;
    }
    for (; i < path.size(); ++i) {
        out += path[i];
        if (path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\') ++i;
    }
    return out;
}
