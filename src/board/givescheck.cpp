// Whether a move checks, read off the board and the attack maps without making it.
#include "board/givescheck.h"

#include <cstdlib>

#include "board/attacks.h"
#include "board/geometry.h"
#include "board/position.h"

// True when a piece of this kind (bishop, rook or queen) moves along direction d.
static bool SlidesAlong(int kind, int d) {
    switch (kind) {
    case Bishop: return d == 9 || d == -9 || d == 11 || d == -11;
    case Rook: return d == 1 || d == -1 || d == 10 || d == -10;
    case Queen: return d != 0;
    default: return false;
    }
}

// True when a slider of this kind standing on sq reaches the king, counting vacated as empty.
static bool SliderReaches(const int32_t* board, int kind, int sq, int king, int vacated) {
    int d = directionTable[sq][king];
    if (!SlidesAlong(kind, d))
        return false;
    for (int s = sq + d; s != king; s += d)
        if (board[s] != Empty && s != vacated)
            return false;
    return true;
}

// True when a piece of this kind (sign of the mover removed) checks the king from t; the
// from-square f is counted as empty, so a promoting pawn does not block its new piece.
static bool DirectCheck(const int32_t* board, bool white, int kind, int f, int t, int king) {
    switch (kind) {
    case Pawn: return white ? (king == t + 11 || king == t - 9) : (king == t - 11 || king == t + 9);
    case Knight: return KnightOffset(king - t) != 0;
    case Bishop:
    case Rook:
    case Queen: return SliderReaches(board, kind, t, king, f);
    default: return false;
    }
}

// True when an en-passant capture f -> t, by emptying f and the captured pawn's square, opens a
// line from a slider of the mover to the king.
static bool EnPassantUncovers(const int32_t* board, bool white, int f, int t, int king) {
    int captured = MakeSquare(rankOf[f], fileOf[t]);
    int d = directionTable[king][captured];
    if (d == 0)
        return false;
    int s = king + d;
    while (s == f || s == captured || (board[s] == Empty && s != t))
        s += d;
    if (s == t)
        return false;
    int kind = white ? board[s] : -board[s];
    return SlidesAlong(kind, d);
}

bool GivesCheck(const Position& p, Move m) {
    bool white = p.whiteToMove;
    int f = MoveFrom(m), t = MoveTo(m);
    int kind = white ? p.board[f] : -p.board[f];
    int king = p.them->kingSquare;

    // Castling (the king's two-file step) checks only through the rook, which lands between
    // the king's squares; the king's from-square is empty by then.
    if (kind == King && std::abs(t - f) == 20)
        return SliderReaches(p.board, Rook, (f + t) / 2, king, f);

    // 1. Discovered check: a slider of ours behind the mover on the line to the king checks
    // when the mover leaves the stretch between them.
    int slider = XrayAttacker(p, white ? WhiteSide : BlackSide, king, f);
    if (slider) {
        int d = directionTable[slider][t];
        if (d == 0 || d != directionTable[t][king])
            return true;
    }

    // 2. Direct check by the piece on its target; a pawn reaching the last rank checks as the
    // promoted piece. A mover that stays on the line may still check directly (a pawn taking
    // en passant toward the king).
    if (kind == Pawn && rankOf[t] == (white ? 8 : 1))
        kind = white ? MovePromotion(m) : -MovePromotion(m);
    if (DirectCheck(p.board, white, kind, f, t, king))
        return true;

    // 3. En passant also empties the captured pawn's square.
    if (kind == Pawn && t == p.epSquare && fileOf[f] != fileOf[t])
        return EnPassantUncovers(p.board, white, f, t, king);
    return false;
}
