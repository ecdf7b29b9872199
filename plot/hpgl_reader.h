#pragma once
// The HPGL plot file reader: one pass over the file's bytes that turns them into pen moves,
// pen selections and, during a run, the characters of the command lines.
//
//   text       = { statement terminator } [ statement ]
//   statement  = [ command ] { number | stray }
//   command    = ( "PA" | "PR" | "PU" | "PD" ) { x y }      a polyline of pairs
//              | "SP" [ pen ] { number }                  later numbers are ignored
//   number     = { "-" | stray } digit { digit | "-" | stray } separator
//                                                         a "-" seen since the last number,
//                                                         wherever it stood, negates it
//   separator  = " " | "," | terminator
//   terminator = ";" | CR | LF
//   stray      = any other byte, skipped ("10.5" reads 105, "+7" reads 7)
//
// Command letters count in either case, and only at the start of a statement: a command
// after parameters without a terminator is skipped letter by letter. Any other command
// ("IN", "LT", ...) is stray text whose numbers are dropped. An X without its Y at a
// terminator is dropped. PA/PR last until the next PA/PR of the same read; every read starts
// absolute. A number beyond the 32-bit range is void: it still takes its place (an X, a Y,
// the pen) but the move it belongs to is skipped and as a pen it selects nothing.
#include <cstdint>
#include <string>
#include <string_view>

#include "plot/plot_state.h"

// How a load went: the whole file, its first kPlotTextMax bytes of a longer one, or nothing
// (the file cannot be opened: gone, locked by another program, a folder).
enum class PlotLoad { Whole, Cut, Unreadable };
// The file's bytes, at most kPlotTextMax of them, read in one go; empty unless read.
PlotLoad LoadPlotText(const std::string& path, std::string& text);

// Walks text (cut at kPlotTextMax): sets PlotFileLength, resets the extents, moves the pen
// through DrawMove with st.DrawScale, collects pens with AddPenToList, and calls the host
// as it goes; ReadEnded last.
void ReadPlotText(PlotState& st, std::string_view text, const PlotHost& host);
