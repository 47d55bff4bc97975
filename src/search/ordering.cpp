// Move ordering keys: hash move, captures by victim and attacker, killers, history, threats.
#include "search/ordering.h"

#include <utility>

#include "board/attackcount.h"
#include "board/geometry.h"
#include "board/movegen.h"
#include "engine.h"
#include "search/exchange.h"
#include "search/modernorder.h"

static constexpr int StartBestKey = -19000;     // the first pick must beat this
static constexpr int HashMoveKey = 608000;      // the hash move's standing; no key exceeds it
static constexpr int ExcludedKey = -608000;     // dropped by the quiescence filter
static constexpr int BadMoveKey = -1;           // capture or interposition judged bad
static constexpr int KillerBonus = 2000;
static constexpr int QueenPromotionBonus = 1000;
static constexpr int SafePromotionBonus = 128000;  // promotion square not attacked
static constexpr int SafeSeventhRankBonus = 500;   // pawn to the seventh onto a safe square
static constexpr int QueenEscapeBonus = 10000;     // queen leaves an attacked square
static constexpr int PvMoveBonus = 500;
static constexpr int HistoryBonus[3] = {100, 99, 98};
static constexpr int VictimWeight = 32;
static constexpr int CaptureBase = 9500;
static constexpr int ThreatLevels = 1;  // the threat test answers up to searchDepth + 1

// The quiet moves with the three highest history counters, best first.
struct HistoryTop {
    int index[3] = {-1, -1, -1};
    uint32_t counter[3] = {0, 0, 0};

    // Inserts a move whose counter beats the third entry; equals keep the earlier move ahead.
    void Offer(int i, uint32_t c) {
        if (c <= counter[2])
            return;
        int at = 2;
        while (at > 0 && c > counter[at - 1]) {
            index[at] = index[at - 1];
            counter[at] = counter[at - 1];
            at--;
        }
        index[at] = i;
        counter[at] = c;
    }
};

// Key of a capture from its victim, its mover and who guards the target.
static int CaptureKey(const Position& p, bool white, int from, int to, int mover, int victim) {
    int moverKind = mover < 0 ? -mover : mover;
    int victimKind = victim < 0 ? -victim : victim;
    int victimValue = pieceValue[victimKind];
    if (AttackCount(p, !white, to) == 0)
        return VictimWeight * victimValue + CaptureBase;
    int key = VictimWeight * victimValue
            + (moverKind == King ? CaptureBase : CaptureBase - pieceValue[moverKind]);
    const SideState& own = white ? p.white : p.black;
    bool alone = AttackCount(p, white, to) == 1;
    bool pawnGuard = PawnAttackers(p, !white, to) > 0;
    if (moverKind == Queen && victimKind != Queen && alone && !XrayBacked(own, from, to))
        return BadMoveKey;
    if ((moverKind == Knight || moverKind == Bishop) && victimKind == Pawn && (alone || pawnGuard))
        return BadMoveKey;
    if (moverKind == Rook && victimKind == Pawn && (alone || pawnGuard)
        && !XrayBacked(own, from, to))
        return BadMoveKey;
    return key;
}

// True for an interposition against check that nothing backs up.
static bool BadInterposition(const Position& p, bool white, int from, int to, int mover) {
    const SideState& own = white ? p.white : p.black;
    int count = AttackCount(p, white, to);
    if (mover == Pawn || mover == -Pawn)
        return count == 0 && !XrayBacked(own, from, to);
    return count == 1 && (mover == Knight || mover == -Knight || !XrayBacked(own, from, to));
}

// The quiescence filter: marks the moves that neither win material nor threaten, and lists
// the indices of the kept ones in list order. Returns how many were kept. Losing or pointless
// moves are dropped unless they threaten. Short cuts: a quiet move never wins material, and
// only captures and the quiet moves PieceMayThreaten lets through at the first two
// quiescence levels can pass the threat test.
static int FilterQuiescenceMoves(Engine& e, int margin, int16_t* kept) {
    const Position& p = e.pos;
    const PlyRecord* r = p.currentPly;
    MoveListEntry* list = r->moves;
    const bool white = p.whiteToMove != 0;
    const int promotionRank = white ? 8 : 1;
    const int seventhRank = white ? 7 : 2;
    const int pawn = white ? Pawn : -Pawn;
    const int queen = white ? Queen : -Queen;
    const int enemyKing = p.them->kingSquare;
    const int enemyBackRank = white ? 8 : 1;
    const int ep = p.epSquare;
    const bool threatLevel = p.effectivePly <= e.search.searchDepth + ThreatLevels;
    int keptCount = 0;
    const int count = r->moveCount;  // a local: the stores into the list could alias it
    for (int i = 0; i < count; i++) {
        MoveListEntry& m = list[i];
        const int from = m.from, to = m.to;
        const int mover = p.board[from];
        const int victim = p.board[to];
        bool keep;
        // Most moves are quiet piece moves that the threat test never sees; they take the
        // first branch and leave at once.
        if (victim == Empty && mover != pawn) {
            keep = threatLevel && PieceMayThreaten(mover, to, enemyKing, enemyBackRank)
                && QuiescenceThreatTest(e, EntryMove(m), margin);
        } else if (victim == Empty) {
            keep = (rankOf[to] == promotionRank && m.promotion == queen)
                || rankOf[to] == seventhRank || (to == ep && ep != 0);
        } else {
            const bool pawnMove = mover == pawn;
            const Move move = EntryMove(m);
            keep = CaptureGainTest(e, move, margin)
                || (pawnMove && rankOf[to] == promotionRank && m.promotion == queen)
                || (pawnMove && rankOf[to] == seventhRank)
                || (threatLevel && QuiescenceThreatTest(e, move, margin));
        }
        if (keep) {
            kept[keptCount++] = int16_t(i);
        } else {
            m.excluded = 1;
            m.key = ExcludedKey;
        }
    }
    return keptCount;
}

// OrderMoves, and with the Modern tables, the Modern history and countermove added to the
// quiet moves' keys in the same pass. The first pick is chosen on the shared key alone.
template <bool WithModern>
static void OrderMovesFor(Engine& e, int margin, bool fullMode, Move hashMove,
                          const QuietTables* modern, Move counter) {
    Position& p = e.pos;
    PlyRecord* r = p.currentPly;
    MoveListEntry* list = r->moves;
    const bool white = p.whiteToMove != 0;
    const int side = white ? 0 : 1;
    const int hashFrom = MoveFrom(hashMove), hashTo = MoveTo(hashMove);
    const int hashPromotion = MovePromotion(hashMove);
    const int promotionRank = white ? 8 : 1;
    const int seventhRank = white ? 7 : 2;
    const int pawn = white ? Pawn : -Pawn;
    const int queen = white ? Queen : -Queen;
    const KillerMove* killers = r->killerMove;
    const MoveListEntry* pvExpected = nullptr;
    if (p.searchPly > 0 && p.searchPly < PvSize) {
        const MoveListEntry* line = &e.search.pv[p.searchPly - 1][p.searchPly - 1];
        if (line[0].from)
            pvExpected = &line[1];
    }

    int bestKey = StartBestKey;
    int firstPick = -1;
    HistoryTop top;
    if (fullMode)
        r->squareDefenders = r->to ? uint8_t(AttackCount(p, !white, r->to)) : 0;

    // The key of a move that stays in play; moves are keyed in list order. Inlined into both
    // loops below: a call per move costs more than the key.
    auto keyMove = [&](int i) __attribute__((always_inline)) {
        MoveListEntry& m = list[i];
        const int from = m.from, to = m.to;
        const int mover = p.board[from];
        const int victim = p.board[to];
        const bool pawnMove = mover == pawn;
        const bool queenPromotion = pawnMove && rankOf[to] == promotionRank && m.promotion == queen;
        m.excluded = 0;

        if (from == hashFrom && to == hashTo
            && (!(pawnMove && rankOf[to] == promotionRank) || m.promotion == hashPromotion)) {
            bestKey = HashMoveKey;
            firstPick = i;
            return;
        }

        int key = 0;
        int modernKey = 0;
        if (victim == Empty) {
            if constexpr (WithModern)
                if (!m.promotion)
                    modernKey = ModernQuietKey(p, *modern, counter, MakeMoveValue(from, to, 0));
            if (p.checkCount && mover != King && mover != -King
                && BadInterposition(p, white, from, to, mover))
                key = BadMoveKey;
            top.Offer(i, HistoryCounter(e.search, side, from, to));
        } else {
            key = CaptureKey(p, white, from, to, mover, victim);
        }
        if ((from == killers[0].from && to == killers[0].to)
            || (from == killers[1].from && to == killers[1].to))
            key += KillerBonus;
        if (pawnMove) {
            if (queenPromotion) {
                key += QueenPromotionBonus;
                if (AttackCount(p, !white, to) == 0)
                    key += SafePromotionBonus;
            } else if (rankOf[to] == seventhRank && AttackCount(p, !white, to) == 0) {
                key += SafeSeventhRankBonus;
            }
        } else if (mover == queen) {
            if (AttackCount(p, !white, from) && !AttackCount(p, !white, to))
                key += QueenEscapeBonus;
        }
        if (pvExpected && from == pvExpected->from && to == pvExpected->to)
            key += PvMoveBonus;
        m.key = key + modernKey;
        if (key > bestKey) {
            bestKey = key;
            firstPick = i;
        }
    };

    if (fullMode) {
        r->movesLeft = r->moveCount;
        for (int i = 0; i < r->moveCount; i++)
            keyMove(i);
    } else {
        int16_t kept[MaxLegalMoves];
        int keptCount = FilterQuiescenceMoves(e, margin, kept);
        r->movesLeft = keptCount;
        for (int k = 0; k < keptCount; k++)
            keyMove(kept[k]);
    }

    for (int k = 0; k < 3; k++)
        if (top.index[k] >= 0)
            list[top.index[k]].key += HistoryBonus[k];
    if (firstPick < 0)
        firstPick = top.index[0];
    if (firstPick > 0)
        std::swap(list[0], list[firstPick]);
}

void OrderMoves(Engine& e, int margin, bool fullMode, Move hashMove) {
    OrderMovesFor<false>(e, margin, fullMode, hashMove, nullptr, 0);
}

void OrderMovesModern(Engine& e, Move hashMove, const QuietTables& modern, Move counter) {
    OrderMovesFor<true>(e, 0, true, hashMove, &modern, counter);
}

void PickNextMove(Engine& e, int index) {
    PlyRecord* r = e.pos.currentPly;
    MoveListEntry* list = r->moves;
    const int count = r->moveCount;
    // The best key stays in a register and the comparison picks without a branch: which
    // key beats the best so far is as good as random, and mispredictions cost more than the
    // scan.
    int best = index;
    int bestKey = list[index].key;
    for (int i = index + 1; i < count; i++) {
        const int key = list[i].key;
        const bool better = key > bestKey;
        best = better ? i : best;
        bestKey = better ? key : bestKey;
    }
    if (best != index)
        std::swap(list[index], list[best]);
}

void RecordGoodMove(Engine& e, Move move) {
    Position& p = e.pos;
    int from = MoveFrom(move), to = MoveTo(move);
    if (p.board[to] != Empty)
        return;
    HistoryCounter(e.search, p.whiteToMove ? 0 : 1, from, to)++;
    PlyRecord* r = p.currentPly;
    KillerMove* k = r->killerMove;
    if (k[0].from == from && k[0].to == to) {
        r->killerHits[0]++;
    } else if (k[1].from == from && k[1].to == to) {
        r->killerHits[1]++;
    } else {
        int slot = r->killerHits[0] < r->killerHits[1] ? 0 : 1;
        k[slot] = KillerMove{uint8_t(from), uint8_t(to), int8_t(MovePromotion(move))};
        r->killerHits[slot] = 0;
    }
}
