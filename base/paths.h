#pragma once
// Path texts as the program takes them apart. Windows paths, 8-bit text.
#include <string>

// What follows the last of separators in path (the whole path when it has none).
std::string FileNamePart(const std::string& path, const char* separators = "\\/:");

// Every doubled backslash made single. A path that begins with exactly two backslashes names
// a network share (\\server\share): that pair is kept, since collapsing it would point at a
// folder of the current drive instead.
std::string CollapseDoubleBackslashes(const std::string& path);
