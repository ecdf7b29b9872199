#include "sim/sim_options.h"

#include <cstring>

bool SimParseOptions(int argc, const char* const* argv, SimOptions& options, std::string& error) {
    struct Valued {
        const char* name;
        std::string* target;
    };
    const Valued valued[] = {
        {"--device", &options.device}, {"--link", &options.link},          {"--state", &options.statePath},
        {"--log", &options.logPath},   {"--raw-log", &options.rawLogPath}, {"--drawing", &options.drawingPath},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--no-pacing") {
            options.pacing = false;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        bool matched = false;
        for (const Valued& v : valued) {
            const size_t len = std::strlen(v.name);
            if (arg == v.name) {
                if (i + 1 >= argc) {
                    error = arg + " needs a value";
                    return false;
                }
                *v.target = argv[++i];
                matched = true;
            } else if (arg.compare(0, len, v.name) == 0 && arg.size() > len && arg[len] == '=') {
                *v.target = arg.substr(len + 1);
                matched = true;
            }
            if (matched) {
                if (v.target->empty()) {
                    error = std::string(v.name) + " needs a value";
                    return false;
                }
                break;
            }
        }
        if (!matched) {
            error = "unknown option: " + arg;
            return false;
        }
    }
    return true;
}

const char* SimUsage() {
    return "usage: kt4180-sim [--device PATH] [--link PATH] [--state FILE] [--log FILE]\n"
           "                  [--raw-log FILE] [--drawing FILE.png] [--no-pacing]\n"
           "Simulates a KT4180 board on a new pseudo-terminal (or on --device) and prints the\n"
           "port's path. Runs until SIGINT or SIGTERM.\n"
           "  --link PATH      symlink PATH to the port while running (e.g. a Wine dosdevices/com3)\n"
           "  --state FILE     keep stored registers in FILE across restarts\n"
           "  --log FILE       one line per executed command: text TAB X=.. Y=.. Z=.. P=..\n"
           "  --raw-log FILE   every received byte, unchanged\n"
           "  --drawing FILE   a PNG picture of the pen-down moves, drawn like the program's\n"
           "                   preview; written at the end and on SIGUSR1\n"
           "  --no-pacing      no line speed and no move times: everything executes at once\n";
}
