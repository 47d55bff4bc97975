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
