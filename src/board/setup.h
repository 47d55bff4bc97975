// Setting up positions: the starting position, EPD text and rebuilding derived state.
#pragma once

struct Engine;

// Sets up the standard starting position; clears the search tables when clearTables is set.
void SetInitialPosition(Engine& e, int clearTables);

// Sets up the position of an EPD/FEN text; clears the search tables unless clearTables is 0.
// Returns false, leaving the previous position untouched, when the text describes a position
// the engine cannot play from.
bool SetPositionFromEpd(Engine& e, const char* text, int clearTables = 1);

// Recomputes piece lists, counts, material and king/knight attack counts from the board.
void RebuildPosition(Engine& e);

// Recomputes balances, keys and side pointers and makes the position record 0.
void ResetPlyStack(Engine& e);
