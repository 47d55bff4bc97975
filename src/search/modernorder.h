// Ordering memory of the Modern search: a history with gravity, a continuation history and a
// countermove slot.
#pragma once

#include "board/types.h"
#include "search/searchdata.h"

struct Engine;
struct Position;

constexpr int ContinuationPlies = 2;  // continuation rows after the moves 1 and 2 plies back

// Where a node reads the history of its quiet moves: the side to move's history [from][to]
// and the continuation rows [piece][to] after the moves one and two plies back (null where
// that ply has no move). They stay the same for the whole node.
struct QuietTables {
    const int16_t (*history)[HistorySquares];
    const int16_t (*continuation[ContinuationPlies])[HistorySquares];
};

// The quiet-move tables of the current node.
QuietTables NodeQuietTables(Engine& e);

// Adds the Modern history and the countermove to the keys OrderMoves gave the quiet moves of
// the current list, so that the selection tries the likely refutations first among them.
void KeyQuietMoves(Engine& e, const QuietTables& t);

// The Modern history of a quiet move of the side to move: its history and its continuation
// entries after the moves one and two plies back, each within +-ModernHistoryBound.
int QuietHistory(const Position& p, const QuietTables& t, Move move);

// True when move is the countermove stored for the opponent's last move.
bool IsCounterMove(const Engine& e, Move move);

// After a quiet move cut off at depth: a bonus to it, a malus to the quiet moves searched
// before it (in the history and the continuation history), and it becomes the countermove of
// the opponent's last move.
void RewardQuietCutoff(Engine& e, Move best, const Move* tried, int triedCount, int depth);

// Empties the Modern history, continuation history and countermoves.
void ClearModernOrdering(SearchData& s);
