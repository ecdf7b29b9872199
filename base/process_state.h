#pragma once
// The process-wide values that portable code shares with the window side. They live for the
// whole run. Threads: the user-interface thread owns everything here except RegisterImage's
// entries, which the receive thread also writes (each as one 32-bit store), and RunMode,
// which is atomic because a wait loop polls it while messages are being pumped.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

constexpr int kLastRegister = 10000;                   // the board's registers are 1..10000
constexpr int kRegisterImageSize = kLastRegister + 1;  // RegisterImage's indices 0..10000

// A plot run's mode; the value 2 is what makes each line wait for the Step button.
enum class RunModes : int32_t { Idle = 0, Auto = 1, Step = 3 };
inline bool WaitsForStep(RunModes mode) { return (static_cast<int32_t>(mode) & 2) != 0; }

struct AppState {
    std::atomic<RunModes> RunMode{RunModes::Idle};
    // Counts the polls that saw Stop held during a run, so that a wait can tell a Stop that
    // came after it began.
    uint32_t StopCount = 0;
    // -1: not known (after a read request) or not to be written.
    std::unique_ptr<std::atomic<int32_t>[]> RegisterImage;
    bool JogBusy = false;
    // A register transfer goes on, from its first line to its store command, also after its
    // dialog has closed: a run, a jog or another setup dialog in its pauses would mix in.
    bool TransferRunning = false;
    int32_t DialogWidth = 0;  // outer size of the main dialog, refreshed on every WM_SIZE
    int32_t DialogHeight = 0;
    std::string ConfigFilePath;   // the program's path with ".cfg" for ".exe"
    int32_t ProgressPercent = 0;  // how far the plot file's last read has come, 0..100
};

extern AppState App;

// Creates RegisterImage with every entry -1; a second call starts it afresh.
void AllocateRegisterImage();
