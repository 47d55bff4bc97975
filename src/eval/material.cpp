// Material edges and king placement by the material left on the board.
#include "eval/material.h"

#include <cstdlib>

#include "board/geometry.h"

constexpr int StartMaterial = 31500;     // one side's pieces at the start, pawns and king aside
constexpr int TradeDownDivisor = 128;
constexpr int MorePieces = 150;
constexpr int BareKingWeight = 100;      // per half file or rank away from the centre
constexpr int HuntMaterial = 5000;       // material that can hunt a bare king
constexpr int QueenPhaseMaterial = 12500;
constexpr int QueenPhaseDivisor = 200;
constexpr int PhaseMaterial = 16000;
constexpr int PhaseDivisor = 256;

int TradeDown(const Position& p, int s) {
    if (s < 0)
        s -= (StartMaterial - p.white.material) / TradeDownDivisor;
    if (s > 0)
        s += (StartMaterial - p.black.material) / TradeDownDivisor;
    return s;
}

int PieceCountEdge(const Position& p) {
    const SideState& white = p.white;
    const SideState& black = p.black;
    int s = 0;
    if (white.pieceCount > black.pieceCount && (black.queenCount == 0 || white.queenCount))
        s += MorePieces;
    if (black.pieceCount > white.pieceCount && (white.queenCount == 0 || black.queenCount))
        s -= MorePieces;
    return s;
}

// Distance of a square from the board's centre in half squares, ranks plus files.
static int CentreDistance(int sq) {
    return std::abs(9 - 2 * rankOf[sq]) + std::abs(9 - 2 * fileOf[sq]);
}

int WhiteKingPlacement(const Position& p) {
    const SideState& own = p.white;
    const SideState& enemy = p.black;
    int k = own.kingSquare;
    if (own.pieceCount < 2 && own.pawnCount == 0)
        return enemy.material >= HuntMaterial ? -BareKingWeight * CentreDistance(k) : 0;
    if (enemy.queenCount) {
        if (k == SqH1)
            k = SqG1;
        return ((QueenPhaseMaterial - enemy.material) / QueenPhaseDivisor) * centreTable[k];
    }
    if (k == SqH1 && enemy.material > PhaseMaterial)
        k = SqG1;
    return centreTable[k] * ((PhaseMaterial - enemy.material) / PhaseDivisor);
}

int BlackKingPlacement(const Position& p) {
    const SideState& own = p.black;
    const SideState& enemy = p.white;
    int k = own.kingSquare;
    if (own.pieceCount < 2 && own.pawnCount == 0)
        return enemy.material >= HuntMaterial ? BareKingWeight * CentreDistance(k) : 0;
    if (enemy.queenCount) {
        if (k == SqH8)
            k = SqG8;
        return -((QueenPhaseMaterial - enemy.material) / QueenPhaseDivisor) * centreTable[k];
    }
    if (k == SqH8 && enemy.material > PhaseMaterial)
        k = SqG8;
    return -(centreTable[k] * ((PhaseMaterial - enemy.material) / PhaseDivisor));
}
