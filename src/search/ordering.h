// Move ordering: keys, the quiescence filter, killer moves and history.
#pragma once

#include "board/types.h"

struct Engine;
struct QuietTables;

// Keys every move of the current list, puts the move to try first at index 0 and sets the
// ply's movesLeft. In capture mode (fullMode false) moves that cannot gain margin and carry no
// threat are excluded.
void OrderMoves(Engine& e, int margin, bool fullMode, Move hashMove);

// OrderMoves in full mode with the Modern history of the tables and the countermove added to
// the keys of the quiet moves; the move put first is the one OrderMoves puts first.
void OrderMovesModern(Engine& e, Move hashMove, const QuietTables& modern, Move counter);

// Swaps the highest-keyed move from index on (the first of equals) to index.
void PickNextMove(Engine& e, int index);

// Feeds a quiet move that cut off or was best into the history and the ply's killer slots.
void RecordGoodMove(Engine& e, Move move);
