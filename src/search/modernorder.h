// Ordering memory of the Modern search: a history with gravity, a continuation history and a
// countermove slot.
#pragma once

#include "board/position.h"
#include "board/types.h"
#include "search/searchdata.h"

struct Engine;

constexpr int ContinuationPlies = 2;  // continuation rows after the moves 1 and 2 plies back

constexpr int PieceIndexOffset = 6;   // piece codes -6..6 index 0..12
constexpr int HistoryKeySpan = 400;   // each history table moves a quiet key by this
constexpr int CounterMoveKey = 1200;  // below the killers (2000), above plain quiets

// Where a node reads the history of its quiet moves: the side to move's history [from][to]
// and the continuation rows [piece][to] after the moves one and two plies back (null where
// that ply has no move). They stay the same for the whole node.
struct QuietTables {
    const int16_t (*history)[HistorySquares];
    const int16_t (*continuation[ContinuationPlies])[HistorySquares];
};

// The quiet-move tables of the current node.
QuietTables NodeQuietTables(Engine& e);

// The Modern history of a quiet move of the side to move: its history and its continuation
// entries after the moves one and two plies back, each within +-ModernHistoryBound.
inline int QuietHistory(const Position& p, const QuietTables& t, Move move) {
    const int from = MoveFrom(move), to = PlayingSquareIndex(MoveTo(move));
    int sum = t.history[PlayingSquareIndex(from)][to];
    const int mover = p.board[from] + PieceIndexOffset;
    for (const auto* row : t.continuation)
        if (row)
            sum += row[mover][to];
    return sum;
}

// What the Modern history and the countermove (0 when none) add to the ordering key of a
// quiet move, so that the selection tries the likely refutations first among the quiet moves.
inline int ModernQuietKey(const Position& p, const QuietTables& t, Move counter, Move move) {
    const int key = QuietHistory(p, t, move) * HistoryKeySpan / ModernHistoryBound;
    return move == counter ? key + CounterMoveKey : key;
}

// The countermove stored for the opponent's last move, 0 when none.
Move CurrentCounterMove(const Engine& e);

// True when move is the countermove stored for the opponent's last move.
bool IsCounterMove(const Engine& e, Move move);

// After a quiet move cut off at depth: a bonus to it, a malus to the quiet moves searched
// before it (in the history and the continuation history), and it becomes the countermove of
// the opponent's last move.
void RewardQuietCutoff(Engine& e, Move best, const Move* tried, int triedCount, int depth);

// Empties the Modern history, continuation history and countermoves.
void ClearModernOrdering(SearchData& s);
