// Bishop pair, trapped minor pieces, opening patterns and blocked centre pawns.
#include "eval/placement.h"

#include "board/geometry.h"

constexpr int BishopPairBonus = 100;
constexpr int OpenCentreBishopPair = 100;  // added unless the centre is blocked
constexpr int TrappedPiece = 1000;
constexpr int KnightBlocksCPawn = 125;
constexpr int FianchettoBishop = 100;
constexpr int BlockedCentrePawn = 125;
constexpr int BlockedCentrePawnAndBishop = 325;

// The square of a rank and a file, both 1..8.
static constexpr int SquareOf(int rank, int file) { return MakeSquare(rank, file); }

int BishopPair(const Position& p, const PawnHashEntry& entry) {
    int pair = BishopPairBonus + (entry.pawnFlags & BlockedCentreFlag ? 0 : OpenCentreBishopPair);
    int s = 0;
    if (p.white.bishopCount >= 2 && p.black.bishopCount < 2)
        s += pair;
    if (p.black.bishopCount >= 2 && p.white.bishopCount < 2)
        s -= pair;
    return s;
}

int TrappedMinors(const Position& p) {
    const int32_t* b = p.board;
    int s = 0;
    // White pieces on a7 and h7; the bishop is looked at first.
    if (b[SquareOf(7, 1)] == Bishop && b[SquareOf(6, 2)] == -Pawn && b[SquareOf(7, 3)] == -Pawn)
        s -= TrappedPiece;
    else if (b[SquareOf(7, 1)] == Knight && b[SquareOf(6, 3)] == -Pawn)
        s -= TrappedPiece;
    if (b[SquareOf(7, 8)] == Bishop && b[SquareOf(6, 7)] == -Pawn && b[SquareOf(7, 6)] == -Pawn)
        s -= TrappedPiece;
    else if (b[SquareOf(7, 8)] == Knight && b[SquareOf(6, 6)] == -Pawn)
        s -= TrappedPiece;
    // Black pieces on a2 and h2.
    if (b[SquareOf(2, 1)] == -Bishop && b[SquareOf(3, 2)] == Pawn && b[SquareOf(2, 3)] == Pawn)
        s += TrappedPiece;
    else if (b[SquareOf(2, 1)] == -Knight && b[SquareOf(3, 3)] == Pawn)
        s += TrappedPiece;
    if (b[SquareOf(2, 8)] == -Bishop && b[SquareOf(3, 7)] == Pawn && b[SquareOf(2, 6)] == Pawn)
        s += TrappedPiece;
    else if (b[SquareOf(2, 8)] == -Knight && b[SquareOf(3, 6)] == Pawn)
        s += TrappedPiece;
    return s;
}

int OpeningPatterns(const Position& p) {
    const int32_t* b = p.board;
    int s = 0;
    if (b[SquareOf(3, 3)] == Knight && b[SquareOf(2, 3)] == Pawn
        && (b[SquareOf(2, 5)] == Pawn || b[SquareOf(3, 5)] == Pawn) && b[SquareOf(4, 5)] != Pawn)
        s -= KnightBlocksCPawn;
    if (b[SquareOf(6, 3)] == -Knight && b[SquareOf(7, 3)] == -Pawn
        && (b[SquareOf(7, 5)] == -Pawn || b[SquareOf(6, 5)] == -Pawn) && b[SquareOf(5, 5)] != -Pawn)
        s += KnightBlocksCPawn;
    if (b[SquareOf(2, 7)] == Bishop && b[SquareOf(3, 7)] == Pawn && b[SquareOf(4, 5)] != Pawn)
        s += FianchettoBishop;
    // The Black twin looks for a White pawn on e5, the pawn that blunts its diagonal.
    if (b[SquareOf(7, 7)] == -Bishop && b[SquareOf(6, 7)] == -Pawn && b[SquareOf(5, 5)] != Pawn)
        s -= FianchettoBishop;
    return s;
}

int BlockedCentrePawns(const Position& p) {
    const int32_t* b = p.board;
    int s = 0;
    if (b[SquareOf(2, 4)] == Pawn && b[SquareOf(3, 4)] != Empty)
        s -= b[SqC1] == Bishop ? BlockedCentrePawnAndBishop : BlockedCentrePawn;
    if (b[SquareOf(2, 5)] == Pawn && b[SquareOf(3, 5)] != Empty)
        s -= b[SqF1] == Bishop ? BlockedCentrePawnAndBishop : BlockedCentrePawn;
    if (b[SquareOf(7, 4)] == -Pawn && b[SquareOf(6, 4)] != Empty)
        s += b[SqC8] == -Bishop ? BlockedCentrePawnAndBishop : BlockedCentrePawn;
    if (b[SquareOf(7, 5)] == -Pawn && b[SquareOf(6, 5)] != Empty)
        s += b[SqF8] == -Bishop ? BlockedCentrePawnAndBishop : BlockedCentrePawn;
    return s;
}
