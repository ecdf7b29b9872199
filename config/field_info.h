#pragma once
// The setup dialog's info line for the field the user is working on, and the colors its
// fields take.
#include <cstdint>
#include <string>

// Colors in the COLORREF layout (0x00BBGGRR), ready for the window side's brushes.
constexpr uint32_t ColorRef(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }
constexpr uint32_t kColorInRange = ColorRef(0, 255, 0);        // text box within its range
constexpr uint32_t kColorOutOfRange = ColorRef(255, 0, 0);     // text box outside it
constexpr uint32_t kColorDifferent = ColorRef(255, 255, 0);    // compare found a difference
constexpr uint32_t kColorTextSame = ColorRef(255, 255, 255);   // text box matches the board
constexpr uint32_t kColorCheckSame = ColorRef(211, 211, 211);  // check box matches the board
constexpr uint32_t kColorFieldText = ColorRef(0, 0, 0);

struct FieldInfo {
    std::string line;      // the status bar's new text
    bool numeric = false;  // a text box: color it by inRange; a check box keeps its colors
    bool inRange = false;
};

// The info line of a field from its spec entry and the control's text (a check box's caption
// is passed but not used). The caller skips controls without an entry and ids above 32000.
//
// Bit field:     "KT4180-Register:" _reg ", Bit:" _bit "  " description
// Numeric field: "KT4180-Register:" _reg [ "..." last ] " =" _value ",  Wertebereich von" _min
//                " bis" _max "   " [ "  (" _value " HPGL-Schritte = " mm "mm)" ]
//
// where _n is a number with a blank before it unless negative, last the last register
// (only for more than one), value the text's number rounded to a 32-bit integer (ties to
// even), and mm the value divided by 40 with two decimals (only for a length).
FieldInfo MakeFieldInfo(const std::string& entry, const std::string& controlText);
