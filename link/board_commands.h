#pragma once

// The board's command register. Register 9876 is not storage: a code written to it makes the
// board act – 3 reports the position, 5432 stores the configuration just written, 5433
// restores the factory configuration.
#define KT_COMMAND_REGISTER "9876"

constexpr const char* kPositionQuery = ";PX" KT_COMMAND_REGISTER ",3";
constexpr const char* kStoreCommand = "PX " KT_COMMAND_REGISTER ",5432";         // after every write
constexpr const char* kFactoryResetCommand = "PX " KT_COMMAND_REGISTER ",5433";  // board restores its own values

// What an operation that cannot start while commands are still going out says (the board holds
// the line): a register transfer would queue behind them and a read wait for answers that
// cannot come; a typed command has no place left in the queue; a run would mix its lines in.
constexpr const char* kBoardBusyMessage =
    "Der Controller ist beschäftigt: ein Kommando wird noch übertragen.\r\n"
    "Bitte warten, bis es gesendet ist, und dann noch einmal versuchen.";
constexpr const char* kBoardBusyTitle = "Stop";
