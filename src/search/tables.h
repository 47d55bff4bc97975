// Clearing the search's memories.
#pragma once

struct Engine;

// Clears the transposition table, pawn hash, killer moves and history.
void ClearTables(Engine& e);

// Empties the principal-variation rows.
void ClearPvRows(Engine& e);

// Sets up the starting position for a search: the principal variations are emptied, and
// the tables cleared too when clearTables is set.
void SetUpStartPosition(Engine& e, int clearTables);

// Sets up the position of an EPD/FEN text as SetUpStartPosition does, clearing the tables
// unless clearTables is 0. Returns false, leaving the previous position, when the text
// describes a position the engine cannot play from (the defect is reported).
bool SetUpEpdPosition(Engine& e, const char* text, int clearTables = 1);
