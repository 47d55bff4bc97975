// Ordering memory of the Modern search: a history with gravity, a continuation history and a
// countermove slot.
#pragma once

#include "board/types.h"

struct Engine;
struct SearchData;

// Adds the Modern history and the countermove to the keys OrderMoves gave the quiet moves of
// the current list, so that the selection tries the likely refutations first among them.
void KeyQuietMoves(Engine& e);

// The Modern history of a quiet move of the side to move: its history and its continuation
// entries after the moves one and two plies back, each within +-ModernHistoryBound.
int QuietHistory(Engine& e, Move move);

// True when move is the countermove stored for the opponent's last move.
bool IsCounterMove(const Engine& e, Move move);

// After a quiet move cut off at depth: a bonus to it, a malus to the quiet moves searched
// before it (in the history and the continuation history), and it becomes the countermove of
// the opponent's last move.
void RewardQuietCutoff(Engine& e, Move best, const Move* tried, int triedCount, int depth);

// Empties the Modern history, continuation history and countermoves.
void ClearModernOrdering(SearchData& s);
