#pragma once
// The traffic protocol files (rxprot.txt, txprot.txt): a sequence of blocks, each a header line
// with the millisecond tick count and then the data exactly as it went over the line.
#include <cstdint>
#include <string>

// "##### " tick " #####" CR LF, then data unchanged (nothing appended).
std::string TrafficBlock(int32_t tickCount, const std::string& data);

// Opens path for appending (creating it), writes one block and closes it again, so that other
// programs can read the file while recording runs. False when the file cannot be opened or
// written; the block is then lost.
bool AppendTrafficBlock(const std::string& path, int32_t tick, const std::string& data);
