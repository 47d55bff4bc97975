// Attacker counts of one square as the evaluation reads them from the attack maps.
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

// White's attackers of a square, pawns included.
inline int WhiteAttackersWithPawns(const Position& p, int sq) {
    return PieceAttackers(p.white, sq) + WhitePawnAttackers(p, sq);
}

// Black's attackers of a square, pawns included.
inline int BlackAttackersWithPawns(const Position& p, int sq) {
    return PieceAttackers(p.black, sq) + BlackPawnAttackers(p, sq);
}

// True when White attacks the square with any piece or pawn.
inline bool WhiteAttacks(const Position& p, int sq) {
    return p.white.attacks[sq] || p.white.kingKnightAttacks[sq] || WhitePawnAttackers(p, sq);
}

// True when Black attacks the square with any piece or pawn.
inline bool BlackAttacks(const Position& p, int sq) {
    return p.black.attacks[sq] || p.black.kingKnightAttacks[sq] || BlackPawnAttackers(p, sq);
}
