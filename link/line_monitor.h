#pragma once
// What the line monitor's boxes keep, and its stored screen position ("pos"/"lmw" in the
// program's configuration file).
#include <string>

constexpr int kTxMonitorMaxCRs = 12;  // the send box keeps the last 13 CR-separated pieces
// ... and no more than their last 4096 characters: a plot line can be a polyline of megabytes,
// which an edit control lays out at a crawl (seconds under Wine), for a box 224 pixels wide.
constexpr size_t kTxMonitorMaxChars = 4096;
constexpr int kRxMonitorMaxChars = 500;  // the receive box keeps the last 500 characters
constexpr const char* kMonitorPositionDefault = "9,9";
constexpr int kMonitorPositionBuffer = 98;  // the stored value is read with at most 97 characters

// Appends text to the send box's contents, then drops whole pieces from the top until at most
// 12 CRs are left: each step removes everything up to and including the first CR, so the LF
// that followed it stays at the start; then keeps at most the last kTxMonitorMaxChars. A NUL
// byte would end a control's text early, so it is shown as a blank.
std::string AppendToTxMonitor(const std::string& box, const std::string& text);

// Appends a received chunk (NUL shown as a blank) and keeps the last 500 characters.
std::string AppendToRxMonitor(const std::string& box, const std::string& chunk);

// Reads the stored position:
//
//   value = number-text [ "," number-text ]
//
// left is the number before the first comma, top the number after it, each read as the
// program reads numbers (leading blanks skipped, whatever follows ignored, no number: 0).
// A value without a comma gives top 0.
void ParseMonitorPosition(const std::string& value, int& left, int& top);

// The stored form: both numbers spaced (a blank before a non-negative one), joined by ",":
// " 233, 93", "-5,-7".
std::string FormatMonitorPosition(int left, int top);
