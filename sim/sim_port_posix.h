#pragma once
#include <string>

// The simulator's end of the serial line: the master of a new pseudo-terminal, or a real
// serial device. Opened non-blocking, raw, 8 bits, no echo.
struct SimPort {
    int fd = -1;
    std::string path;  // what the PC side opens: the pseudo-terminal's slave, or the device
    bool isDevice = false;
};

bool OpenPseudoTerminal(SimPort& port, std::string& error);
bool OpenSerialDevice(SimPort& port, const std::string& path, std::string& error);
void ClosePort(SimPort& port);

// A real line can carry the board's CTS: our RTS, crossed over by a null-modem cable.
void SetClearToSend(const SimPort& port, bool on);

// A pseudo-terminal has no CTS, and the PC's end reports an empty transmit queue, so the PC
// would run ahead of the line by all the pseudo-terminal buffers (20 kB here). Stopping the
// slave's output makes the PC's next write wait, as a busy transmitter would. False when the
// slave cannot be opened to do so.
bool HoldSender(const SimPort& port, bool hold);

// Replaces an existing symlink at `link` (never another kind of file).
bool MakeLink(const std::string& link, const std::string& target, std::string& error);
// Removes `link` only while it still points at `target`.
void RemoveLink(const std::string& link, const std::string& target);
