#pragma once

// The board's command register. Register 9876 is not storage: a code written to it makes the
// board act – 3 reports the position, 5432 stores the configuration just written, 5433
// restores the factory configuration.
#define KT_COMMAND_REGISTER "9876"

constexpr const char* kPositionQuery = ";PX" KT_COMMAND_REGISTER ",3";
constexpr const char* kStoreCommand = "PX " KT_COMMAND_REGISTER ",5432";         // after every write
constexpr const char* kFactoryResetCommand = "PX " KT_COMMAND_REGISTER ",5433";  // board restores its own values
