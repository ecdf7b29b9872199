#include "base/settings.h"

#include "base/paths.h"

std::string ConfigPathForProgram(const std::string& programPath) {
    if (programPath.size() < 4) return programPath + ".cfg";
    return programPath.substr(0, programPath.size() - 4) + ".cfg";
}

std::string ProgramBaseName(const std::string& programPath) {
    std::string name = FileNamePart(programPath);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string RegistryKeyName(const std::string& programPath, const std::string& subPath) {
    return ProgramBaseName(programPath) + "\\" + subPath;
}
