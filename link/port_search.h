#pragma once
// The order and names of the ports the controller search tries.
#include <string>
#include <vector>

constexpr int kHighestSearchedPort = 19;

// The remembered port first (when 1 or more, whatever its size), then 1 to 19, then the ports
// above 19 that Windows lists as present, ascending, each once.
std::vector<int> CandidatePorts(int rememberedPort, std::vector<int> listedPorts = {});
// The number in a port name as Windows lists it ("COM23" -> 23); 0 for any other text.
int PortNumberFromName(const std::string& name);
// "\\.\COM12" for 12.
std::string PortDeviceName(int n);
// "COM12" for 12: what the port indicator shows.
std::string PortName(int n);
// n x 100 / 99 rounded, at most 100: the bar's position while port n is tried.
int SearchProgress(int n);
