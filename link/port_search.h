#pragma once
// The order and names of the ports the controller search tries.
#include <string>
#include <vector>

constexpr int kHighestSearchedPort = 19;

// The remembered port first (when 1 or more, whatever its size), then 1 to 19.
std::vector<int> CandidatePorts(int rememberedPort);
// "\\.\COM12" for 12.
std::string PortDeviceName(int n);
// n x 100 / 99 rounded: the bar's position while port n is tried.
int SearchProgress(int n);
