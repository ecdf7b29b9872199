#pragma once
// Where the program keeps its settings, the parts that are plain text rules: the program's
// configuration file beside it and the name of its registry key.
#include <string>

// The program's path with its last four characters (".exe") replaced by ".cfg". A path too
// short to have an extension just gets ".cfg" appended.
std::string ConfigPathForProgram(const std::string& programPath);

// The program file's name without folder and extension: "C:\Tools\plotter.exe" -> "plotter".
std::string ProgramBaseName(const std::string& programPath);

// The registry key below the classes root: base name, "\", sub-path ("plotter\Ini").
std::string RegistryKeyName(const std::string& programPath, const std::string& subPath);
