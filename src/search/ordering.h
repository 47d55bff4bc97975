// Move ordering: keys, the quiescence filter, killer moves and history.
#pragma once

#include "board/types.h"

struct Engine;

// Keys every move of the current list, puts the move to try first at index 0 and sets the
// ply's movesLeft. In capture mode (fullMode false) moves that cannot gain margin and carry no
// threat are excluded.
void OrderMoves(Engine& e, int margin, bool fullMode, Move hashMove);

// Swaps the highest-keyed move from index on (the first of equals) to index.
void PickNextMove(Engine& e, int index);

// Feeds a quiet move that cut off or was best into the history and the ply's killer slots.
void RecordGoodMove(Engine& e, Move move);
