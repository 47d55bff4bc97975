// The search's reports as the interfaces read them: thinking lines for xboard and the
// console, info lines for UCI, and the time remarks for a chess server.
#pragma once

#include <cstdint>

#include "board/types.h"

struct Engine;
struct SearchReport;

// Writes a report as xboard and the console show it: thinking lines while "post" is on,
// the line of a move played without a search, and the time remarks.
void ThinkingReport(Engine& e, const SearchReport& r);

// Writes a report as UCI info lines.
void UciReport(Engine& e, const SearchReport& r);

// One thinking line of a report: depth, score / 10, centiseconds, nodes and the PV.
const char* FormatThinkingLine(Engine& e, const SearchReport& r);

// The PV in coordinate notation, at most 30 moves: with lower-case promotion letters from
// the root under UCI; else with upper-case ones, and while pondering starting with the
// predicted move already on the board.
const char* PvText(Engine& e, bool uci, const MoveListEntry* line);
