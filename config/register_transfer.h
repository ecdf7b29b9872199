#pragma once
// Register transfers between the setup dialog's fields and the board: the command lines, the
// range check, what a write sends and in which order, what a read asks for and how the
// answers become field values, and the progress text.
//
// Lines here carry no line end: the window side appends CR LF before SendCommand.
#include <cstdint>
#include <string>
#include <vector>

#include "config/register_table.h"
#include "link/board_commands.h"

constexpr const char* kWriteProgressCaption = "Schreibe in die Controller-Register...";
constexpr const char* kReadProgressCaption = "Lese 4180-Controller aus...";
constexpr const char* kRangeMessageTitle = "Stop";
// The factory reset replaces the board's whole configuration and cannot be undone: it asks.
constexpr const char* kFactoryResetQuestion =
    "Die Werkseinstellungen wirklich in den Controller laden?\r\n"
    "Seine ganze jetzige Konfiguration wird dabei ersetzt.";
constexpr const char* kFactoryResetTitle = "Werkseinstellungen ?";

enum class ReadMode { Read, Verify };

// "PX" reg "," value: writes a register.
std::string WriteLine(int reg, int32_t value);
// "PX0," reg: asks the board to report a register.
std::string ReadLine(int reg);

// 100 * i / n; 0 when there is nothing to count.
double TransferPercent(int i, int n);
// The progress bar's position for a percentage: nearest integer, ties to even, within 0..100.
int ProgressBarPosition(double percent);
// The line padded with blanks to 20 characters (a longer one is kept whole), three blanks,
// the percentage with two decimals and "%": "PX0,2" + 15 blanks + "   1.56%".
std::string TransferProgressText(const std::string& line, double percent);

// "Der Wert (" value ") im Feld für das/die Register" _reg CR LF
// "ist nicht im erlaubten Bereich (" min "..." max ")" CR LF
// with the register number spaced and the other numbers plain.
std::string RangeMessage(int32_t value, int reg, int32_t minimum, int32_t maximum);

struct RegisterWrite {
    int reg;
    int32_t value;     // 0..255
    bool lastOfField;  // a write cut short may end after this register: no field is left half new
};

struct WritePlan {
    bool inRange = true;
    std::string rangeMessage;           // the first field out of range, in id order
    std::vector<RegisterWrite> writes;  // ascending register order; empty when !inRange
};

// Prepares a write from the fields' contents, walking the table by ascending control id: a
// bit field sets or clears its bit (bits no field names stay 0), a numeric field's text is
// read as a number, rounded to a 32-bit integer (ties to even), checked against its range
// and split over its registers. The first field out of range ends the preparation: nothing
// may be sent then, not even the store command. Fields whose registers fall outside
// 1..10000 are left out.
//
// The window side then sets RegisterImage entries 1..10000 to -1 and each planned register to
// its value, sends WriteLine for each in order (progress: TransferPercent(i, writes.size())),
// and kStoreCommand at the end, also when the user stopped the sending. A stop ends the
// sending only after a register that is lastOfField, so that the board never stores a field
// spread over several registers half new and half old.
WritePlan PlanWrite(const FieldSpecTable& table, const FieldInputs& inputs);

struct ReadStep {
    int controlId = 0;
    FieldSpec spec;
    int fieldNumber = 0;              // 1..FieldCount, for the progress
    std::vector<int> fetch;           // registers to ask for, in this order
    std::vector<int> valueRegisters;  // what the field's value is made of, least significant first
};

// The read's walk over the fields by ascending control id. A register already asked for during
// this read is not asked for again, so check boxes sharing a register cost one read. With the
// register table that is 69 reads: 2, 3, 4, 8, 9, 10..17, 5, 6, 7, 18..25, then per tool b,
// b+1, b+3, b+4, b+2. Fields whose registers fall outside 1..10000 get no step.
//
// The window side, per step: for each fetch register r, show TransferProgressText(ReadLine(r),
// TransferPercent(fieldNumber, FieldCount)), send the line and wait until RegisterImage[r] is
// no longer -1; then collect the entries of valueRegisters and apply them with ReadFieldText
// or ReadFieldChecked (mode Read), or compare them with TextMatchesValue or the check state
// (mode Verify).
std::vector<ReadStep> PlanRead(const FieldSpecTable& table);

// A numeric field's text after a read: the joined value in decimal.
std::string ReadFieldText(const std::vector<int32_t>& entries);
// A bit field's check state after a read: its bit of the register's entry.
bool ReadFieldChecked(const FieldSpec& spec, const std::vector<int32_t>& entries);
// Verify: whether a text box's text, read as a number, equals the board's value. No rounding:
// "12.5" matches neither 12 nor 13.
bool TextMatchesValue(const std::string& text, int32_t value);
