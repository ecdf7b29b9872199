#pragma once
#include <array>
#include <cstdint>
#include <string>

// The simulated board's configuration registers: 8-bit cells 0..9999. Register 0 is the
// read-only board identification (what the probe "px0,0" gets back) and register 9876
// takes command codes; neither stores anything.
constexpr int kSimRegisterCount = 10000;
constexpr int kSimCommandRegister = 9876;
constexpr int kSimBoardId = 41;

// Command codes written to register 9876.
constexpr int kSimCodePosition = 3;
constexpr int kSimCodeStore = 5432;
constexpr int kSimCodeFactoryReset = 5433;

// Registers the firmware itself reads.
constexpr int kSimRegStepTime = 2;       // one motor step = value x 128 us
constexpr int kSimRegHalfStep = 5;       // bit 0: half-step mode, half the speed
constexpr int kSimRegEcho = 6;           // bit 0 OK, 1 X/Y/Z/P, 2 motor current, 3 poti, 4 counter
constexpr int kSimRegOutput = 7;         // bit 0 hex, 4 echo received characters, 6 debug only, 7 command echo
constexpr int kSimRegStepsPer100mm = 8;  // 8..9
constexpr int kSimRegXZero = 10;         // 10..13, then Y 14..17, Z 18..21: zero point from the reference
constexpr int kSimToolCount = 9;         // tool n owns 21 + 5n .. 25 + 5n

using SimRegisters = std::array<uint8_t, kSimRegisterCount>;

// The board's own factory configuration; every field lies inside the setup dialog's ranges.
void SimFactoryRegisters(SimRegisters& regs);

// Little-endian join of `width` consecutive registers, as the setup dialog splits wide values.
int64_t SimJoinRegisters(const SimRegisters& regs, int first, int width);

// A value the host wrote into an 8-bit cell: its low eight bits, as the board's byte store keeps it.
uint8_t SimLowByte(int64_t value);

// The state file holds one "register=value" per line (registers that are non-zero or have a
// non-zero factory value), after a "#" comment line. Reading starts from the factory values
// and applies every well-formed line; it fails, leaving regs as they were, when the file cannot
// be read whole or is larger than 1 MiB.
bool SimReadStateFile(const std::string& path, SimRegisters& regs);
bool SimWriteStateFile(const std::string& path, const SimRegisters& regs);
