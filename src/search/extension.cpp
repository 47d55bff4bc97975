// Extensions: recaptures, single replies, passed pawns, trapped bishops and checks.
#include "search/extension.h"

#include "board/attackcount.h"
#include "board/geometry.h"
#include "engine.h"

static constexpr int PartialPly = 6;              // recapture and single-reply extension
static constexpr int EvenTradeBalance = 2000;     // recaptures only while material stays close
static constexpr int PasserDefenceMaterial = 13000;  // most enemy material for the 6th-rank push
static constexpr int PasserKingDistance = 3;      // enemy king at least this far from queening
static constexpr int CheckerSacrifice = 3000;     // a hanging checker that gives this much away

// Squares of the trapped-bishop patterns.
enum : int {
    SqA2 = 22, SqA4 = 24, SqA5 = 25, SqA7 = 27, SqB3 = 33, SqB4 = 34, SqB5 = 35, SqB6 = 36,
    SqC2 = 42, SqC4 = 44, SqC5 = 45, SqC7 = 47, SqD3 = 53, SqD6 = 56, SqF2 = 72, SqF4 = 74,
    SqF5 = 75, SqF7 = 77, SqG3 = 83, SqG4 = 84, SqG5 = 85, SqG6 = 86, SqH2 = 92, SqH4 = 94,
    SqH5 = 95, SqH7 = 97
};

// True when a White pawn arriving on to shuts a Black bishop in on b6 or g6.
static bool WhiteTrapsBishop(const int32_t* b, int to) {
    if ((to == SqA5 || (to == SqC5 && b[SqD6] != -Pawn)) && b[SqB6] == -Bishop && b[SqB4] == Pawn
        && b[SqA7] != Empty && b[SqC7] != Empty)
        return true;
    return (to == SqF5 || to == SqH5) && b[SqG6] == -Bishop && b[SqG4] == Pawn
        && b[SqF7] != Empty && b[SqH7] != Empty;
}

// True when a Black pawn arriving on to shuts a White bishop in on b3 or g3.
static bool BlackTrapsBishop(const int32_t* b, int to) {
    if ((to == SqA4 || (to == SqC4 && b[SqD3] != Pawn)) && b[SqB3] == Bishop && b[SqB5] == -Pawn
        && b[SqA2] != Empty && b[SqC2] != Empty)
        return true;
    return (to == SqF4 || to == SqH4) && b[SqG3] == Bishop && b[SqG5] == -Pawn
        && b[SqF2] != Empty && b[SqH2] != Empty;
}

// True when the previous move took a piece of its own value and this move takes it back.
static bool IsRecapture(const Position& p, const PlyRecord* r, int depth, int from, int to) {
    if (to != r->to || r->capturedPiece == Empty || r->recaptureExtended)
        return false;
    if (PieceValueOf(r->capturedPiece) != PieceValueOf(r->movedPiece))
        return false;
    int victim = p.board[to];
    if (PieceValueOf(p.board[from]) > PieceValueOf(victim) && r->squareDefenders)
        return false;
    if (depth * 2 <= p.searchPly)
        return false;
    int balance = p.materialBalance - SignedPieceValueOf(victim);
    return balance >= -EvenTradeBalance && balance <= EvenTradeBalance;
}

int ComputeExtension(Engine& e, const MoveListEntry& move) {
    Position& p = e.pos;
    SearchStats& stats = e.search.stats;
    PlyRecord* r = p.currentPly;
    const int from = move.from, to = move.to;
    const int32_t* b = p.board;

    if (IsRecapture(p, r, e.search.searchDepth, from, to)) {
        (r + 1)->recaptureExtended = 1;
        stats.recaptureExtensions++;
        return PartialPly;
    }
    (r + 1)->recaptureExtended = 0;

    if (r->moveCount == 1) {
        stats.singleReplyExtensions++;
        return PartialPly;
    }

    if (b[from] == Pawn) {
        if (rankOf[to] == 7 && b[to + 1] == Empty) {
            stats.seventhRankExtensions++;
            return OnePly;
        }
        if (rankOf[to] == 6 && p.black.material <= PasserDefenceMaterial && b[to] == Empty
            && b[to + 1] == Empty && b[to + 2] == Empty
            && PawnAttackers(p, true, to) >= PawnAttackers(p, false, to)
            && KingDistance(p.black.kingSquare, to + 2) >= PasserKingDistance) {
            stats.sixthRankExtensions++;
            return OnePly;
        }
        if (WhiteTrapsBishop(b, to))
            return OnePly;
    } else if (b[from] == -Pawn) {
        if (rankOf[to] == 2 && b[to - 1] == Empty) {
            stats.seventhRankExtensions++;
            return OnePly;
        }
        if (rankOf[to] == 3 && p.white.material <= PasserDefenceMaterial && b[to] == Empty
            && b[to - 1] == Empty && b[to - 2] == Empty
            && PawnAttackers(p, false, to) >= PawnAttackers(p, true, to)
            && KingDistance(p.white.kingSquare, to - 2) >= PasserKingDistance) {
            stats.sixthRankExtensions++;
            return OnePly;
        }
        if (BlackTrapsBishop(b, to))
            return OnePly;
    }
    return 0;
}

int CheckExtension(Engine& e) {
    const Position& p = e.pos;
    const PlyRecord* r = p.currentPly;
    const int to = r->to;
    const bool moverWhite = p.whiteToMove == 0;
    const SideState& own = *p.them;
    const SideState& checked = *p.us;
    bool undefended = own.attacks[to] == 0 && own.kingKnightAttacks[to] == 0
                   && PawnAttackers(p, moverWhite, to) == 0;
    bool capturable = checked.attacks[to] != 0 || checked.kingKnightAttacks[to] != 0
                   || PawnAttackers(p, !moverWhite, to) != 0;
    bool givesAway = PieceValueOf(r->movedPiece) - PieceValueOf(r->capturedPiece) >= CheckerSacrifice;
    if (undefended && capturable && givesAway && p.checkCount == 1)
        return 0;
    e.search.stats.checkExtensions++;
    return OnePly;
}
