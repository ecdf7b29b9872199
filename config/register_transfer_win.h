#pragma once
// Register transfers between the setup dialog and the board, under a progress window that
// the user may close to stop them.
#include <windows.h>

#include "config/register_transfer.h"

// Checks every field against its range (a message box names the first one out of range, and
// nothing is sent then), sends the registers in ascending order 25 ms apart and then the store
// command, which also follows a write the user stopped.
void WriteRegisters(HWND dialog);

// Asks the board for every field's registers and waits for each answer without a time-out;
// closing the progress window ends the read where it stands. Read fills the fields; Verify
// colors each one yellow where it differs from the board and white (text box) or light grey
// (check box) where it matches.
void ReadRegisters(HWND dialog, ReadMode mode);

// The board restores its factory configuration; the fields stay as they are.
void FactoryReset();
