// Attackers of a square, counted from the attack maps, the king and knight counts and the
// pawns on the board.
#pragma once

#include "board/geometry.h"
#include "board/position.h"

// Sliders, king and knights of one side attacking a square (pawns not counted).
inline int PieceAttackers(const SideState& side, int sq) {
    int map = side.attacks[sq];
    return bitCount[map & 0xFF] + bitCount[map >> 8] + side.kingKnightAttacks[sq];
}

// White pawns attacking a square: they stand on square - 11 and square + 9.
inline int WhitePawnAttackers(const Position& p, int sq) {
    return (p.board[sq - 11] == Pawn) + (p.board[sq + 9] == Pawn);
}

// Black pawns attacking a square: they stand on square - 9 and square + 11.
inline int BlackPawnAttackers(const Position& p, int sq) {
    return (p.board[sq - 9] == -Pawn) + (p.board[sq + 11] == -Pawn);
}

// The side's pawns attacking a square.
inline int PawnAttackers(const Position& p, bool white, int sq) {
    return white ? WhitePawnAttackers(p, sq) : BlackPawnAttackers(p, sq);
}

// Sliders, king, knights and pawns of the side attacking a square.
inline int AttackCount(const Position& p, bool white, int sq) {
    return PieceAttackers(white ? p.white : p.black, sq) + PawnAttackers(p, white, sq);
}

// White's attackers of a square, pawns included.
inline int WhiteAttackersWithPawns(const Position& p, int sq) { return AttackCount(p, true, sq); }

// Black's attackers of a square, pawns included.
inline int BlackAttackersWithPawns(const Position& p, int sq) { return AttackCount(p, false, sq); }

// True when White attacks the square with any piece or pawn.
inline bool WhiteAttacks(const Position& p, int sq) {
    return p.white.attacks[sq] || p.white.kingKnightAttacks[sq] || WhitePawnAttackers(p, sq);
}

// True when Black attacks the square with any piece or pawn.
inline bool BlackAttacks(const Position& p, int sq) {
    return p.black.attacks[sq] || p.black.kingKnightAttacks[sq] || BlackPawnAttackers(p, sq);
}

// True when a slider of the side stands behind the piece on from, on the line from -> to.
inline bool XrayBacked(const SideState& s, int from, int to) {
    return (s.attacks[from] & AnySliderBits(directionTable[from][to])) != 0;
}
