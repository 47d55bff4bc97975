// Validation of set-up positions, done from scratch on the board alone.
#include "board/validate.h"

#include "board/geometry.h"
#include "board/position.h"

// True when the piece on sq can reach target by one move of its kind (blockers respected).
static bool PieceAttacks(const int* board, int sq, int target) {
    int code = board[sq];
    int kind = code > 0 ? code : -code;
    int diff = target - sq;
    switch (kind) {
    case Pawn:
        return code > 0 ? (diff == 11 || diff == -9) : (diff == -11 || diff == 9);
    case Knight:
        return diff >= -80 && diff < 80 && KnightOffset(diff);
    case King:
        return KingDistance(sq, target) == 1;
    default:
        break;
    }
    int d = directionTable[sq][target];
    if (!d)
        return false;
    bool diagonal = d == 9 || d == -9 || d == 11 || d == -11;
    if ((kind == Bishop && !diagonal) || (kind == Rook && diagonal))
        return false;
    for (int t = sq + d; t != target; t += d)
        if (board[t])
            return false;
    return true;
}

// True when a piece of the given colour (1 White, -1 Black) attacks target.
static bool SquareAttackedBy(const int* board, int target, int colour) {
    for (int sq = SqA1; sq <= SqH8; sq++) {
        int code = board[sq];
        if (code == 0 || code == Border || (code > 0) != (colour > 0))
            continue;
        if (PieceAttacks(board, sq, target))
            return true;
    }
    return false;
}

const char* PositionDefect(const Position& p) {
    int counts[2][7] = {};  // [White, Black][kind]
    int kingSquare[2] = {0, 0};
    for (int sq = SqA1; sq <= SqH8; sq++) {
        int code = p.board[sq];
        if (code == 0 || code == Border)
            continue;
        int side = code > 0 ? 0 : 1;
        int kind = code > 0 ? code : -code;
        counts[side][kind]++;
        if (kind == King)
            kingSquare[side] = sq;
        if (kind == Pawn && (rankOf[sq] == 1 || rankOf[sq] == 8))
            return "a pawn stands on the first or eighth rank";
    }
    static const char* const noKing[2] = {"White has no king", "Black has no king"};
    static const char* const twoKings[2] = {"White has more than one king",
                                             "Black has more than one king"};
    static const char* const tooMany[2] = {
        "White has more pieces of one kind than a legal game allows",
        "Black has more pieces of one kind than a legal game allows"};
    for (int side = 0; side < 2; side++) {
        const int* c = counts[side];
        if (c[King] == 0)
            return noKing[side];
        if (c[King] > 1)
            return twoKings[side];
        if (c[Pawn] > 8)
            return tooMany[side];
        // Extra pieces beyond the original set can only come from promoted pawns.
        auto extra = [](int have, int original) { return have > original ? have - original : 0; };
        int promoted = extra(c[Knight], 2) + extra(c[Bishop], 2) + extra(c[Rook], 2)
                     + extra(c[Queen], 1);
        if (promoted > 8 - c[Pawn])
            return tooMany[side];
    }
    // The side that just moved may not have left its king attacked.
    int waiting = p.whiteToMove ? 1 : 0;
    if (SquareAttackedBy(p.board, kingSquare[waiting], waiting == 0 ? -1 : 1))
        return p.whiteToMove ? "the king of the side not to move (Black) is in check"
                             : "the king of the side not to move (White) is in check";
    return nullptr;
}

bool EnPassantSquareConsistent(const Position& p) {
    int ep = p.epSquare;
    if (IsBorder(ep) || p.board[ep] != 0)
        return false;
    // White to move: Black just double-stepped over rank 6 onto rank 5.
    if (p.whiteToMove)
        return rankOf[ep] == 6 && p.board[ep - 1] == -Pawn;
    return rankOf[ep] == 3 && p.board[ep + 1] == Pawn;
}
