// Clearing the search's memories.
#pragma once

struct Engine;

// Clears the transposition table, pawn hash, killer moves and history.
void ClearTables(Engine& e);

// Empties the principal-variation rows.
void ClearPvRows(Engine& e);
