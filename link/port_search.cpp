#include "link/port_search.h"

#include "base/numbers.h"

std::vector<int> CandidatePorts(int rememberedPort) {
    std::vector<int> ports;
    if (rememberedPort >= 1) ports.push_back(rememberedPort);
    for (int n = 1; n <= kHighestSearchedPort; ++n) ports.push_back(n);
    return ports;
}

std::string PortDeviceName(int n) { return "\\\\.\\COM" + NumberText(n); }

int SearchProgress(int n) { return static_cast<int>(RoundToInteger(n * 100.0 / 99.0)); }
