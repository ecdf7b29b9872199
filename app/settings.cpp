#include "app/settings.h"

std::string ConfigPathForProgram(const std::string& programPath) {
    if (programPath.size() < 4) return programPath + ".cfg";
    return programPath.substr(0, programPath.size() - 4) + ".cfg";
}

std::string ProgramBaseName(const std::string& programPath) {
    const size_t slash = programPath.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

std::string RegistryKeyName(const std::string& programPath, const std::string& subPath) {
    return ProgramBaseName(programPath) + "\\" + subPath;
}
