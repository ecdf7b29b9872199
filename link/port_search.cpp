#include "link/port_search.h"

#include <algorithm>

#include "base/numbers.h"

std::vector<int> CandidatePorts(int rememberedPort, std::vector<int> listedPorts) {
    std::vector<int> ports;
    if (rememberedPort >= 1) ports.push_back(rememberedPort);
    for (int n = 1; n <= kHighestSearchedPort; ++n) ports.push_back(n);
    std::sort(listedPorts.begin(), listedPorts.end());
    listedPorts.erase(std::unique(listedPorts.begin(), listedPorts.end()), listedPorts.end());
    for (int n : listedPorts)
        if (n > kHighestSearchedPort) ports.push_back(n);
    return ports;
}

int PortNumberFromName(const std::string& name) {
    // Digits without a leading zero, at most nine: the device name is made from the number.
    if (name.size() < 4 || name.size() > 12 || name.compare(0, 3, "COM") != 0 || name[3] == '0') return 0;
    int n = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        n = n * 10 + (name[i] - '0');
    }
    return n;
}

std::string PortDeviceName(int n) { return "\\\\.\\" + PortName(n); }
std::string PortName(int n) { return "COM" + NumberText(n); }

int SearchProgress(int n) { return static_cast<int>(RoundToInteger(std::clamp(n * 100.0 / 99.0, 0.0, 100.0))); }
