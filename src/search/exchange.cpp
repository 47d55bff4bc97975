// Exchange and threat tests for move ordering, quiescence and futility pruning.
#include "search/exchange.h"

#include <cstdlib>

#include "board/attackcount.h"
#include "board/attacks.h"
#include "board/givescheck.h"
#include "board/geometry.h"
#include "engine.h"

// Capture test: a margin larger than the victim is refused only while White keeps more than
// this many pieces (king included); a heavy mover (rook, queen, king) taking something much
// cheaper is refused when a minor piece, or for the largest gaps a rook, guards the target.
static constexpr int WhitePiecesForMarginRefusal = 3;
static constexpr int32_t HeavyMoverValue = 5000;
static constexpr int32_t CheapVictimGap = 3000;
static constexpr int32_t VeryCheapVictimGap = 5000;

// Knight forks with check in quiescence: the largest margin a fork may make up, and for each
// forked piece the largest margin and the margin below which that piece need not be undefended.
static constexpr int32_t ForkMaxMargin = 9500;
static constexpr int32_t ForkQueenDefendedBelow = 6501;
static constexpr int32_t ForkRookMaxMargin = 5000;
static constexpr int32_t ForkRookDefendedBelow = 2001;
static constexpr int32_t ForkBishopMaxMargin = 3000;
static constexpr int32_t ForkBishopDefendedBelow = 1;

// King-attack reach of a quiet move: greatest king distance from the target to the enemy king.
static constexpr int PawnKingReach = 2;
static constexpr int KnightKingReach = 3;
static constexpr int BishopKingReach = 2;
static constexpr int QueenKingReach = 2;
static constexpr int KingKingReach = 2;

// AttackMap bits of the bishop rays and of the rook rays.
static constexpr uint16_t BishopRayMask = 0x000F;
static constexpr uint16_t RookRayMask = 0x00F0;

bool CaptureGainTest(Engine& e, Move m, int32_t margin) {
    const Position& p = e.pos;
    bool white = p.whiteToMove;
    int f = MoveFrom(m), t = MoveTo(m);

    // 1. Only captures can gain material.
    if (p.board[t] == Empty)
        return false;
    int victim = PieceValueOf(p.board[t]);
    int mover = PieceValueOf(p.board[f]);

    // 2. A victim worth less than the margin cannot make it up while pieces remain.
    if (victim < margin && p.white.pieceCount > WhitePiecesForMarginRefusal)
        return false;

    // 3. Taking something worth more always gains.
    if (victim > mover)
        return true;

    // 4. Even trades pass at the first quiescence level.
    if (p.effectivePly <= e.search.searchDepth && victim == mover)
        return true;

    // 5. A lone attacker of a defended square needs a slider of ours behind it.
    if (AttackCount(p, white, t) == 1 && AttackCount(p, !white, t) > 0 &&
        !XrayAttacker(e.pos, white ? WhiteSide : BlackSide, t, f))
        return false;

    // 6. Taking something cheaper fails against a pawn guard, and for a heavy mover against a
    // knight guard, a bishop ray, or for the largest gaps a rook ray.
    if (victim != mover) {
        if (white ? BlackPawnAttackers(p, t) : WhitePawnAttackers(p, t))
            return false;
        if (mover >= HeavyMoverValue && mover - victim > CheapVictimGap) {
            const SideState& enemy = *p.them;
            int kingKnight = enemy.kingKnightAttacks[t];
            if (kingKnight > 1 || (kingKnight == 1 && KingDistance(t, enemy.kingSquare) != 1))
                return false;
            if (enemy.attacks[t] & BishopRayMask)
                return false;
            if (mover - victim > VeryCheapVictimGap && (enemy.attacks[t] & RookRayMask))
                return false;
        }
    }

    // 7. Otherwise the capture is expected to hold.
    return true;
}

// True when a knight on t attacks one of the listed enemy pieces that is undefended, or any of
// them when anyDefence is set.
static bool KnightHits(const Position& p, bool white, int t, const uint8_t* squares, int count,
                       bool anyDefence) {
    for (int i = 0; i < count; i++) {
        int q = squares[i];
        if (KnightOffset(q - t) && (anyDefence || AttackCount(p, !white, q) == 0))
            return true;
    }
    return false;
}

// True for a knight move to t that checks from an undefended square and also hits a queen,
// rook or bishop that the margin allows to count.
static bool KnightForkThreat(const Position& p, bool white, int t, int32_t margin) {
    const SideState& enemy = *p.them;
    if (!KnightOffset(enemy.kingSquare - t) || AttackCount(p, !white, t) > 0 ||
        margin > ForkMaxMargin)
        return false;
    if (KnightHits(p, white, t, enemy.queenSquares, enemy.queenCount,
                   margin < ForkQueenDefendedBelow))
        return true;
    if (margin <= ForkRookMaxMargin &&
        KnightHits(p, white, t, enemy.rookSquares, enemy.rookCount, margin < ForkRookDefendedBelow))
        return true;
    if (margin <= ForkBishopMaxMargin &&
        KnightHits(p, white, t, enemy.bishopSquares, enemy.bishopCount,
                   margin < ForkBishopDefendedBelow))
        return true;
    return false;
}

// True for a rook or queen move onto the enemy king's back rank when the king's escape squares
// are all covered and the move checks safely or lands supported beside the king.
static bool BackRankThreat(Engine& e, Move m) {
    const Position& p = e.pos;
    bool white = p.whiteToMove;
    int f = MoveFrom(m), t = MoveTo(m);
    int king = p.them->kingSquare;
    int backRank = white ? 8 : 1;
    int towardCentre = white ? -1 : 1;  // from the king's rank to the rank in front of it
    if (rankOf[t] != backRank || rankOf[king] != backRank)
        return false;
    for (int fileStep : {0, -10, 10}) {
        int s = king + towardCentre + fileStep;
        int code = p.board[s];
        bool enemyPiece = white ? code < 0 : code > 0 && code != Border;
        if (code == Border || enemyPiece)
            continue;
        if (AttackCount(p, white, s) == 0)
            return false;
    }
    if (AttackCount(p, !white, t) == 0 && GivesCheck(e.pos, m))
        return true;
    if (std::abs(t - king) != 10)
        return false;
    if (AttackCount(p, !white, t) != 1)
        return false;
    return AttackCount(p, white, t) > 1 || XrayBacked(white ? p.white : p.black, f, t);
}

bool QuiescenceThreatTest(Engine& e, Move m, int32_t margin) {
    const Position& p = e.pos;

    // 1. Threats are looked for at the first two quiescence levels only.
    if (p.effectivePly > e.search.searchDepth + 1)
        return false;
    bool white = p.whiteToMove;
    int f = MoveFrom(m), t = MoveTo(m);
    int mover = p.board[f];

    // 2. Captures that check: onto a defended square only when taking something bigger.
    if (p.board[t] != Empty) {
        if (AttackCount(p, !white, t) > 0) {
            if (PieceValueOf(p.board[t]) > PieceValueOf(mover) && GivesCheck(e.pos, m))
                return true;
        } else if (GivesCheck(e.pos, m)) {
            return true;
        }
    }

    // 3. By the moving piece: knight forks, queen contact with the king, back-rank threats.
    switch (std::abs(mover)) {
    case Knight:
        return KnightForkThreat(p, white, t, margin);
    case Queen:
        // Neither contact with the king nor the back rank: the common case, answered first.
        if (!PieceMayThreaten(mover, t, p.them->kingSquare, white ? 8 : 1))
            return false;
        if (AttackCount(p, !white, t) > 1)
            return false;
        if (KingDistance(t, p.them->kingSquare) == 1)
            return AttackCount(p, white, t) > 1 || XrayBacked(white ? p.white : p.black, f, t);
        return BackRankThreat(e, m);
    case Rook:
        return BackRankThreat(e, m);
    default:
        return false;
    }
}

// True for a White pawn move that promotes to a queen, reaches the seventh rank, takes en
// passant, lands near the Black king or attacks the Black queen.
static bool WhitePawnKingAttack(const Position& p, int f, int t, int promotion, int king) {
    return (rankOf[t] == 8 && promotion == Queen) || rankOf[t] == 7 ||
           (t == p.epSquare && fileOf[f] != fileOf[t]) || KingDistance(t, king) <= PawnKingReach ||
           p.board[t + 11] == -Queen || p.board[t - 9] == -Queen;
}

// True for a Black pawn move that promotes to a queen, reaches the second rank, takes en
// passant, lands near the White king or attacks the White queen.
static bool BlackPawnKingAttack(const Position& p, int f, int t, int promotion, int king) {
    return (rankOf[t] == 1 && promotion == -Queen) || rankOf[t] == 2 ||
           (t == p.epSquare && fileOf[f] != fileOf[t]) || KingDistance(t, king) <= PawnKingReach ||
           p.board[t - 11] == Queen || p.board[t + 9] == Queen;
}

// True when a bishop that moved f -> t finds the king further along the same diagonal.
static bool KingBeyondDiagonalMove(int f, int t, int king) {
    int fileStep = fileOf[t] > fileOf[f] ? 1 : -1;
    int rankStep = rankOf[t] > rankOf[f] ? 1 : -1;
    return (fileOf[king] - fileOf[t]) * fileStep > 0 && (rankOf[king] - rankOf[t]) * rankStep > 0;
}

// Walks from t by step toward the king's file or rank; true on reaching a square next to the
// king. The walk passes only empty squares and our own rooks and queens.
static bool LineReachesKingZone(const Position& p, bool white, int t, int step, int king) {
    int ownQueen = white ? Queen : -Queen;
    int ownRook = white ? Rook : -Rook;
    for (int s = t;; s += step) {
        int code = p.board[s];
        if (code == Border)
            return false;
        if (s != king && KingDistance(s, king) <= 1)
            return true;
        if (s != t && code != Empty && code != ownQueen && code != ownRook)
            return false;
    }
}

// True when a rook or queen move opens a rank or file that leads to the squares around the king.
static bool HeavyPieceKingAttack(const Position& p, bool white, int f, int t, int king) {
    if (rankOf[f] != rankOf[t] && std::abs(rankOf[t] - rankOf[king]) <= 1) {
        int step = fileOf[king] >= fileOf[t] ? 10 : -10;
        if (LineReachesKingZone(p, white, t, step, king))
            return true;
    }
    if (fileOf[f] != fileOf[t] && std::abs(fileOf[t] - fileOf[king]) <= 1) {
        int step = rankOf[king] >= rankOf[t] ? 1 : -1;
        if (LineReachesKingZone(p, white, t, step, king))
            return true;
    }
    return false;
}

bool IsKingAttackMove(Engine& e, Move m) {
    const Position& p = e.pos;
    bool white = p.whiteToMove;
    int f = MoveFrom(m), t = MoveTo(m);
    int king = p.them->kingSquare;
    int distance = KingDistance(t, king);
    switch (std::abs(p.board[f])) {
    case Pawn:
        return white ? WhitePawnKingAttack(p, f, t, MovePromotion(m), king)
                     : BlackPawnKingAttack(p, f, t, MovePromotion(m), king);
    case Knight:
        return distance <= KnightKingReach &&
               !(std::abs(rankOf[t] - rankOf[king]) == 3 && std::abs(fileOf[t] - fileOf[king]) == 3);
    case Bishop:
        return distance <= BishopKingReach && !KingBeyondDiagonalMove(f, t, king);
    case Queen:
        if (distance <= QueenKingReach)
            return true;
        return HeavyPieceKingAttack(p, white, f, t, king);
    case Rook:
        return HeavyPieceKingAttack(p, white, f, t, king);
    case King:
        return distance <= KingKingReach;
    default:
        return false;
    }
}
