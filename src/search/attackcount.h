// Attack counts of a square, read off the attack maps, king/knight counts and the board.
#pragma once

#include "board/geometry.h"
#include "board/position.h"

// Number of the side's pawns attacking the playing square sq.
inline int PawnAttackers(const Position& p, bool white, int sq) {
    if (white)
        return (p.board[sq - 11] == Pawn) + (p.board[sq + 9] == Pawn);
    return (p.board[sq - 9] == -Pawn) + (p.board[sq + 11] == -Pawn);
}

// Sliders, king, knights and pawns of the side attacking the playing square sq.
inline int AttackCount(const Position& p, bool white, int sq) {
    const SideState& s = white ? p.white : p.black;
    return bitCount[s.attacks[sq] & 0xFF] + bitCount[s.attacks[sq] >> 8] + s.kingKnightAttacks[sq]
         + PawnAttackers(p, white, sq);
}

// True when a slider of the side stands behind the piece on from, on the line from -> to.
inline bool XrayBacked(const SideState& s, int from, int to) {
    return (s.attacks[from] & AnySliderBits(directionTable[from][to])) != 0;
}
