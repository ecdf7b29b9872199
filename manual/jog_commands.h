#pragma once
// What the jog images send: the step count taken from the step box and the command each
// image builds from it.
#include <cstdint>
#include <string>

constexpr int64_t kMinJogSteps = 1;
constexpr int64_t kMaxJogSteps = 20000;

// The step box's text as a step count: its leading number rounded to the nearest integer,
// halves to even ("12.5" is 12, "13.5" is 14); 0 when the text holds no number.
int64_t JogStepsFromText(const std::string& text);

// 1 to 20000. Checked for every jog image, also for those whose command has no count.
bool JogStepsValid(int64_t n);

// The command of jog control id for step count n, ending in CR LF ("PR-20,20\r\n" for
// JogXMinusYPlus and 20); empty for an id that is not a jog control. n is written as it is:
// the caller sends only counts that JogStepsValid accepts.
std::string JogCommand(int id, int64_t n);
