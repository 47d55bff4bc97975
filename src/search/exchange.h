// Yes/no tests on a move about to be searched, read off the board, the attack maps and the
// piece lists of the current position without making the move.
#pragma once

#include <cstdint>

#include "board/geometry.h"
#include "board/types.h"

struct Engine;

// True when the capture can be expected to win at least margin; false for quiet moves.
bool CaptureGainTest(Engine& e, Move m, int32_t margin);

// Second chance in quiescence for a move that fails the capture test: checking captures,
// knight forks with check, queen contact with the king and back-rank checks.
bool QuiescenceThreatTest(Engine& e, Move m, int32_t margin);

// False for a move by mover to `to` that QuiescenceThreatTest refuses by its piece: only a
// knight check, a rook or queen move onto the back rank of a king standing on it, and a queen
// move next to the king can pass (a capture may still pass by giving check). enemyKing and
// backRank are the opponent's king square and home rank.
inline bool PieceMayThreaten(int mover, int to, int enemyKing, int backRank) {
    int kind = mover < 0 ? -mover : mover;
    if (kind == Knight)
        return KnightOffset(enemyKing - to);
    bool backRankMove = rankOf[to] == backRank && rankOf[enemyKing] == backRank;
    if (kind == Rook)
        return backRankMove;
    if (kind == Queen)
        return backRankMove || KingDistance(to, enemyKing) == 1;
    return false;
}

// True when a quiet move lands close to the enemy king or hits the enemy queen.
bool IsKingAttackMove(Engine& e, Move m);
