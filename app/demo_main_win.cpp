// KT4180-Demo.exe: the program with the simulated board in this process as its only port, for
// trying it without a board. It opens no real port. Being named differently, it keeps its
// settings apart from KT4180.exe's (its own .cfg and registry key; only win.ini's section is
// shared).
#include <windows.h>

#include <string>

#include "app/main_dialog_win.h"
#include "base/settings.h"
#include "base/settings_win.h"
#include "sim/sim_port_win.h"

namespace {

// The registers the board stores stay with the user, as a real board keeps them in itself:
// every copy of the demo finds the same ones, and the place is writable wherever the program
// lies.
std::string DefaultStatePath() {
    const std::string folder = UserFolder();
    if (folder.empty()) return "";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + ProgramBaseName(ProgramPath()) + "-Register.txt";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Section [demo] of the configuration file: where the board logs what it received and what
    // it executed (nowhere unless named), and another place for its registers.
    SimPortFiles files;
    files.rawLog = ReadConfigValue("demo", "rawlog", "", MAX_PATH);
    files.log = ReadConfigValue("demo", "log", "", MAX_PATH);
    files.state = ReadConfigValue("demo", "state", "", MAX_PATH);
    if (files.state.empty()) files.state = DefaultStatePath();
    PortOps = StartSimPort(files);
    const std::string caption = std::string(kMainDialogCaption) + " - Demo";
    const int result = RunProgram(caption.c_str());
    StopSimPort();
    return result;
}
