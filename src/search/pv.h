// The principal-variation table and its text forms.
#pragma once

#include "board/types.h"
#include "engine.h"

// Moves a PV text shows at most.
constexpr int MaxPvTextMoves = 30;

// Empties the line for ply (its first entry ends it).
inline void EmptyPvRow(Engine& e, int ply) {
    if (ply >= 0 && ply < PvSize)
        e.search.pv[ply][ply].from = 0;
}

// Makes entry the first move of the line for ply, followed by the line for ply + 1.
void UpdatePv(Engine& e, const MoveListEntry& entry, int ply);

// The PV in SAN for the summaries, at most 30 moves; "???" while a search runs.
const char* PvSanText(Engine& e);

// Completes a line of the root (PvSize entries, ended by from 0) with the table's moves
// where the search's line ends early (a table cutoff ends it after the root move): the
// line's moves, then each position's stored move while it is legal, up to 30 moves and not
// beyond a repetition. The position is left as it was.
void ExtendLineFromTable(Engine& e, MoveListEntry* line);
