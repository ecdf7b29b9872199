#pragma once
// The register table: which controller registers the setup dialog edits and how each field
// control maps onto them. The table travels in the controls' initial captions:
//
//   caption = visible "§" spec "§" description
//   spec    = register "," width "," minimum "," maximum [ "," unit ]
//
// "§" is the byte A7 (Windows-1252). A field whose minimum and maximum are both 0 is a bit
// field and its width is the bit number (0..7); every other field is numeric, spread over
// width (1, 2 or 4) consecutive registers, least significant byte first. A unit beginning
// with "mm" marks a length in HPGL steps. The control ids are also the configuration file's
// keys, so they never change.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/numbers.h"
#include "base/process_state.h"

constexpr int kMaxFieldControlId = 32000;  // the highest control id that may carry a spec
constexpr char kFieldSpecMark = '\xA7';    // "§" in Windows-1252

// Tool n (1 to 9) owns registers 21 + 5n to 25 + 5n: Z factor, X/Y factor, bits, depth (2).
constexpr int ToolFirstRegister(int tool) { return 21 + 5 * tool; }
constexpr int ToolOfRegister(int reg) { return (reg - 21) / 5; }
// The upper left group's text boxes, top to bottom, by their first register; the row labels
// follow this order.
constexpr int kMotorRegisters[] = {2, 3, 4, 8, 10, 14, 18, 22, 24};

enum class FieldKind { TextBox, CheckBox };

struct RegisterField {
    int id;               // control id
    FieldKind kind;       // text box: numeric field; check box: bit field
    std::string caption;  // initial caption, spec included
};

// The 64 field controls in the setup dialog's creation order, which is its tab order too.
// Tools 2 to 9's check boxes have no visible caption: tool 1's captions explain those rows.
const std::vector<RegisterField>& RegisterFields();

struct FieldLabel {
    int id;
    std::string text;
};

// The row labels: those of the nine text boxes of the upper group (registers 2, 3, 4, 8, 10,
// 14, 18, 22, 24, top to bottom), then the tool table's three rows (Z factor, X/Y factor,
// depth).
const std::vector<FieldLabel>& RegisterFieldLabels();

// What follows the first "§" of each field control's caption, by control id (1..32000).
// Only non-empty entries are kept, so a missing id is a control without a spec.
struct FieldSpecTable {
    std::map<int, std::string> SpecTable;
    int FieldCount = 0;  // the number of entries
};

// The setup dialog's table: rebuilt each time the dialog is built, used while it is open.
// Owned by the user-interface thread.
extern FieldSpecTable SetupSpecs;

// Empties the table (the first step of loading the specs).
void ClearFieldSpecs(FieldSpecTable& table);

// One control's initial caption: when it holds "§" and the id is 1..32000, stores what
// follows the first "§" under the id (a non-empty one) and returns the part before it, the
// text the control must show instead. Any other caption comes back unchanged.
// LoadFieldSpecs is ClearFieldSpecs, then this for every control id in ascending order.
std::string TakeFieldSpec(FieldSpecTable& table, int controlId, const std::string& caption);

// What follows the first "§" of a caption: the field's spec and description; empty without one.
std::string FieldSpecOfCaption(const std::string& caption);

// The entry of one control id, empty when the control carries no spec.
std::string FieldSpecEntry(const FieldSpecTable& table, int controlId);

struct FieldSpec {
    uint16_t reg = 0;   // the first (or only) register
    int32_t width = 0;  // numeric: number of registers; bit field: the bit number
    int32_t minimum = 0;
    int32_t maximum = 0;
    bool mm = false;  // a length in HPGL steps
    std::string description;
};

// Parses an entry (spec "§" description). The numbers are read as the program reads any
// number (a text without one is 0); a register outside 0..65535 is clamped to it. Only the
// fifth comma-separated piece of the spec entry is the unit, and commas in the description are
// not looked at.
FieldSpec ParseFieldSpec(const std::string& entry);

bool IsBitField(const FieldSpec& spec);

// True when the field's registers lie within 1..10000, a numeric field has 1 to 4 of them and
// a bit number is 0..7. A field that does not fit is never read or written, so that no
// register number outside the RegisterImage can come out of the table.
bool FieldFitsRegisters(const FieldSpec& spec);

// The field's registers, least significant first (one for a bit field, none when the field
// does not fit).
std::vector<int> FieldRegisters(const FieldSpec& spec);

// A value's bytes over width registers, least significant first: byte k is bits 8k..8k+7 of
// the value's 32-bit two's-complement pattern (for the non-negative values the table allows,
// the value divided by 256^k, truncated, AND 255). A width outside 1..4 gives no bytes.
std::vector<int32_t> SplitValue(int32_t value, int width);

// Joins register contents back, least significant first. Each entry counts with its low 8 bits
// only (a register is 8 bits wide); four bytes make a 32-bit two's-complement pattern, so
// 255, 255, 255, 255 joins to -1. At most four bytes are used.
int32_t JoinValue(const std::vector<int32_t>& bytes);

// The bit of a register's entry (0 or 1); a bit number outside 0..7 reads 0.
int BitOf(int32_t entry, int bit);

// The entry with its bit set or cleared; a bit number outside 0..7 leaves it unchanged.
int32_t WithBit(int32_t entry, int bit, bool on);

// What one field control holds: a text box's text or a check box's state. The window side
// fills these from the dialog; the transfers and configuration files work on them.
struct FieldInput {
    std::string text;
    bool checked = false;
};
using FieldInputs = std::map<int, FieldInput>;  // by control id; a missing id: empty, clear
