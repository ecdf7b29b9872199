#pragma once
#include <string>

// Command line of kt4180-sim:
//   kt4180-sim [--device PATH] [--link PATH] [--state FILE] [--log FILE] [--raw-log FILE]
//              [--drawing FILE] [--no-pacing] [--help]
// Each option with a value also takes the form --option=VALUE.
struct SimOptions {
    std::string device;       // serial device to serve instead of a new pseudo-terminal
    std::string link;         // symlink made to the port's path while the simulator runs
    std::string statePath;    // where "PX 9876,5432" stores the registers
    std::string logPath;      // executed commands with the position after each
    std::string rawLogPath;   // every received byte
    std::string drawingPath;  // PNG of the pen-down moves
    bool pacing = true;
    bool help = false;
};

// False with a message in `error` for an unknown option or a missing value.
bool SimParseOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);

// The usage text printed by --help and after an error.
const char* SimUsage();
