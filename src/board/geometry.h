// Square geometry and the constant tables built once at start-up.
#pragma once

#include <cstdint>

#include "board/types.h"

extern int8_t rankOf[120];               // 1..8, 0 on border cells
extern int8_t fileOf[120];               // 1..8, 0 on border cells
extern int8_t directionTable[99][99];    // unit direction from -> to, 0 when not on a line
extern int32_t knightOffsetTable[160];   // 1 at knight steps, indexed by difference + 80
extern uint8_t bitCount[256];
extern uint8_t lowestClearBit[256];      // 1 + index of the lowest clear bit, 0 for 255
extern uint8_t highestClearBit[256];     // 1 + index of the highest clear bit, 0 for 255
extern uint8_t openSpan[256];            // 8 minus the closed runs at both ends (each up to 4)
extern int8_t bitDirection[256];         // direction of a single AttackMap low-byte bit

// Slider bit masks indexed by direction + 11 (use the RayBits helpers).
extern uint16_t anySliderRayBits[23];
extern uint16_t bishopRayBits[23];
extern uint16_t rookRayBits[23];
extern uint16_t queenRayBits[23];

// Piece values; a pawn is the unit scores are counted in (900).
constexpr int32_t PawnValue = 900;
constexpr int32_t KnightValue = 3000;
constexpr int32_t BishopValue = 3000;
constexpr int32_t MinorValue = 3000;  // a knight or a bishop
constexpr int32_t RookValue = 5000;
constexpr int32_t QueenValue = 9500;
constexpr int32_t KingValue = 1000000;

extern int32_t pieceValue[8];         // by PieceCode without sign
extern int32_t signedPieceValue[15];  // by PieceCode + 7, Black negative
extern int32_t attackerWeight[8];     // by PieceCode without sign

extern int32_t centreTable[120];           // queen mobility weights
extern int32_t rookMobilityWeight[120];    // 4 x centreTable
extern int32_t bishopMobilityWeight[120];  // 8 x centreTable
extern int32_t pawnBlockingWeight[120];    // same values as the rook weights
extern int32_t knightSquareValue[120];

extern const uint64_t zobristKeys[78][13];  // [square - 21][code + 6]
extern const uint64_t sideToMoveKey;

// The knight steps in the order the generator tries them.
constexpr int knightSteps[8] = {12, 21, 19, 8, -12, -21, -19, -8};
// The king steps in generation order.
constexpr int kingSteps[8] = {1, -1, 10, -10, 9, -9, 11, -11};

inline bool IsBorder(int sq) { return sq < SqA1 || sq > SqH8 || sq % 10 == 0 || sq % 10 == 9; }
inline uint64_t Zobrist(int sq, int code) { return zobristKeys[sq - 21][code + 6]; }
inline uint16_t AnySliderBits(int dir) { return anySliderRayBits[dir + 11]; }
inline uint16_t BishopBits(int dir) { return bishopRayBits[dir + 11]; }
inline uint16_t RookBits(int dir) { return rookRayBits[dir + 11]; }
inline uint16_t QueenBits(int dir) { return queenRayBits[dir + 11]; }
inline int KnightOffset(int diff) { return knightOffsetTable[diff + 80]; }
inline int PieceValueOf(int code) { return pieceValue[code < 0 ? -code : code]; }
inline int SignedPieceValueOf(int code) { return signedPieceValue[code + 7]; }

// Builds every table above; safe to call more than once.
void InitGeometry();

// The larger of the rank and file distances of two playing squares.
inline int KingDistance(int a, int b) {
    int dr = rankOf[a] - rankOf[b];
    int df = fileOf[a] - fileOf[b];
    dr = dr < 0 ? -dr : dr;
    df = df < 0 ? -df : df;
    return dr > df ? dr : df;
}
