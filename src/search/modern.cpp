// The Modern node search.
#include "search/modern.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "board/geometry.h"
#include "board/givescheck.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "engine.h"
#include "search/extension.h"
#include "search/modernorder.h"
#include "search/nodeprologue.h"
#include "search/nullmove.h"
#include "search/ordering.h"
#include "search/pv.h"
#include "search/quiesce.h"
#include "search/score.h"
#include "search/timecheck.h"
#include "search/transtable.h"

static constexpr int Centipawn = 9;               // score units in a hundredth of a pawn
static constexpr int NoEval = -Infinity;          // staticEval of a ply in check

// Reverse futility: a static score this far above beta per ply left stands. Only near the
// horizon: deeper, it cut the defender's nodes after a sacrifice before the attack was seen.
static constexpr int ReverseFutilityDepth = 3;
static constexpr int ReverseFutilityMargin = 85 * Centipawn;

// Null move: R = base + depth / divisor + (eval - beta) / evalStep (at most evalPlies).
static constexpr int NullMoveMinDepth = 2;
static constexpr int NullMoveBase = 3;
static constexpr int NullMoveDepthDivisor = 4;
static constexpr int NullMoveEvalStep = 200 * Centipawn;
static constexpr int NullMoveEvalPlies = 3;
static constexpr int NullMoveVerifyPieces = 2;    // king and one piece: zugzwang is likely
static constexpr int NullMoveVerifyDepth = 6;

// Singular extension: the table's move is searched a ply deeper when every other move, at
// about half the depth, stays a margin per ply below the table's score.
static constexpr int SingularMinDepth = 8;
static constexpr int SingularTableSlack = 3;     // the entry at most this much shallower
static constexpr int SingularMarginPerPly = 2 * Centipawn;

// Internal iterative reduction where the table has no move.
static constexpr int IirMinDepth = 4;

// Late-move pruning: quiet moves tried at depth d before the rest are dropped.
static constexpr int LmpMaxDepth = 8;
static constexpr int LmpBase = 3;

// Futility pruning of quiet moves by the depth left after their reduction. Only near the
// horizon: deeper, it dropped the quiet follow-ups of a sacrifice. The base margin is wide
// for the same reason: at 90 cp, quiet moves that build an attack while the static score
// lags behind were dropped a few plies from the horizon, and short tactics took more nodes.
static constexpr int FutilityMaxDepth = 3;
static constexpr int FutilityBase = 150 * Centipawn;
static constexpr int FutilityPerPly = 90 * Centipawn;

// Losing captures are dropped up to this depth.
static constexpr int BadCaptureMaxDepth = 4;

// Late-move reductions: R = base + ln(depth) ln(moveNumber) / divisor.
static constexpr int LmrMinDepth = 3;
static constexpr double LmrBase = 0.75;
static constexpr double LmrDivisor = 2.25;
static constexpr int LmrTableSize = 64;
static constexpr int LmrHistoryStep = ModernHistoryBound / 2;  // a reduction less per step

static constexpr int MaxQuietsTried = 64;

// Reductions by depth and move number.
struct LmrTable {
    int8_t r[LmrTableSize][LmrTableSize];
    LmrTable() {
        for (int d = 0; d < LmrTableSize; d++)
            for (int m = 0; m < LmrTableSize; m++)
                r[d][m] = d && m ? int8_t(LmrBase + std::log(d) * std::log(m) / LmrDivisor) : 0;
    }
};
static const LmrTable lmrTable;

static int Reduction(int depth, int moveNumber) {
    return lmrTable.r[std::min(depth, LmrTableSize - 1)][std::min(moveNumber, LmrTableSize - 1)];
}

// Quiet moves searched at depth before late-move pruning drops the rest.
static int LmpCount(int depth, bool improving) {
    return (LmpBase + depth * depth) / (improving ? 1 : 2);
}

// True for a move that neither captures nor promotes.
static bool IsQuietMove(const Position& p, const MoveListEntry& m) {
    if (p.board[m.to] != Empty)
        return false;
    const int mover = p.board[m.from];
    if (mover == Pawn || mover == -Pawn)
        return m.to != p.epSquare && !IsPromotionMove(p.board, m.from, m.to);
    return true;
}

// True when one of the ply's killer moves is move.
static bool IsKiller(const PlyRecord* r, const MoveListEntry& m) {
    return (r->killerMove[0].from == m.from && r->killerMove[0].to == m.to)
        || (r->killerMove[1].from == m.from && r->killerMove[1].to == m.to);
}

// Swaps the entry of move to the front of the current list; false when the list has no
// such move.
static bool BringToFront(const Position& p, Move move) {
    MoveListEntry* const list = p.currentPly->moves;
    for (int i = 0; i < p.currentPly->moveCount; i++) {
        if (list[i].from != MoveFrom(move) || list[i].to != MoveTo(move))
            continue;
        if (IsPromotionMove(p.board, list[i].from, list[i].to) && list[i].promotion != MovePromotion(move))
            continue;
        std::swap(list[0], list[i]);
        list[0].key = 0;
        return true;
    }
    return false;
}

// Keys the moves of the current list (the hash move, found, at index 0) and puts the Modern
// history among the quiet ones.
static void OrderRest(Engine& e, Move hashMove, const QuietTables& tables) {
    OrderMovesModern(e, hashMove, tables, CurrentCounterMove(e));
}

// The quiescence search at the horizon: the shared tests read the remaining depth as
// searchDepth - effectivePly, which is 0 at the first quiescence level.
static int ModernQuiesce(Engine& e, int alpha, int beta) {
    e.pos.effectivePly = e.search.searchDepth;
    EmptyPvRow(e, e.pos.searchPly);
    return Quiesce(e, alpha, beta);
}

// True when the side to move has a piece besides king and pawns to keep a null move sound.
static bool MayPass(const Position& p) {
    return p.us->material > 0 && p.currentPly->from != 0;
}

// Searches the current position once more: the search before walked the attack maps
// away from it, and its nodes read them (ordering, the null move's generation).
static int SearchAgain(Engine& e, int alpha, int beta, int depth, bool cutNode) {
    RebuildMaps(e.pos);
    return ModernSearch(e, alpha, beta, depth, cutNode);
}

int ModernSearch(Engine& e, int alpha, int beta, int depth, bool cutNode) {
    Position& p = e.pos;
    SearchData& s = e.search;
    assert(-Infinity <= alpha && alpha < beta && beta <= Infinity);
    // The singular test leaves the table's move out of this node, not out of its children.
    const Move excluded = s.modernExcluded;
    s.modernExcluded = 0;
    if (depth <= 0)
        return ModernQuiesce(e, alpha, beta);
    PlyRecord* const r = p.currentPly;
    const bool pvNode = int64_t(beta) - alpha > 1;  // the full window spans 2 * Infinity
    // The shared tests (capture test, ordering, table) read the remaining depth from here.
    const int effectivePly = s.searchDepth - depth;
    p.effectivePly = effectivePly;
    EmptyPvRow(e, p.searchPly);

    // Step 1. Poll the clock, the node limit and the stop request.
    if (p.nodeCount >= s.nextPollAt)
        TimeCheck(e);
    if (s.abortSearch)
        return 0;

    // Step 2. Checkmate, draw, pawn ending, ply limit.
    int settled;
    if (ResolveNode(e, alpha, beta, settled))
        return settled;

    // Step 3. Mate distance: nothing here beats a mate next move or loses faster than a
    // mate now.
    const int ply = p.searchPly - s.nullMoveExtraPlies;
    alpha = std::max(alpha, ply - MateScore);
    beta = std::min(beta, MateScore - ply - 1);
    if (alpha >= beta)
        return alpha;

    // Step 4. Table: outside the PV a deep enough bound settles the node, unless the node
    // is a singular test, whose result the entry does not hold.
    TTEntry t;
    const bool ttHit = TTProbe(e, t);
    const Move tableMove =
        ttHit && t.from > NullMoveBestMarker ? MakeMoveValue(t.from, t.to, t.promotion) : 0;
    const Move hashMove = tableMove != excluded ? tableMove : 0;
    if (ttHit && !pvNode && !excluded && t.depth >= depth
        && (t.type == ExactScore || (t.type == LowerBound && t.score >= beta)
            || (t.type == UpperBound && t.score <= alpha)))
        return t.score;

    // Step 5. Static score, refined by the table's bound, and whether it improves on the
    // side's score two plies back.
    const bool inCheck = r->checkCount != 0;
    int eval = NoEval;
    bool improving = false;
    if (!inCheck) {
        eval = SearchEvaluate(e);
        if (p.searchPly >= 2 && s.modern.staticEval[p.searchPly - 2] != NoEval)
            improving = eval > s.modern.staticEval[p.searchPly - 2];
        s.modern.staticEval[p.searchPly] = eval;
        if (ttHit && std::abs(t.score) < MateBound
            && (t.type == ExactScore || (t.type == LowerBound && t.score > eval)
                || (t.type == UpperBound && t.score < eval)))
            eval = t.score;
    } else {
        s.modern.staticEval[p.searchPly] = NoEval;
    }

    // Step 6. Outside the PV and check, with no mate at stake: prune the node.
    if (!pvNode && !inCheck && std::abs(beta) < MateBound) {
        // Step 6.1. Reverse futility: the static score beats beta by a margin per ply.
        if (depth <= ReverseFutilityDepth
            && eval - ReverseFutilityMargin * (depth - improving) >= beta)
            return eval;

        // Step 6.2. Null move: let the opponent move twice; a fail high still prunes.
        if (depth >= NullMoveMinDepth && eval >= beta && MayPass(p) && !s.modernNoNullMove
            && !excluded && !(ttHit && t.type == UpperBound && t.score < beta)) {
            const int R = NullMoveBase + depth / NullMoveDepthDivisor
                        + std::min(NullMoveEvalPlies, (eval - beta) / NullMoveEvalStep);
            TTPrefetch(s, p.hashKey ^ sideToMoveKey);
            MakeNullMove(e, 1);
            int score = -ModernSearch(e, -beta, -beta + 1, depth - 1 - R, !cutNode);
            UnmakeNullMove(e, 1);
            p.effectivePly = effectivePly;
            if (s.abortSearch)
                return 0;
            if (score >= beta) {
                if (score >= MateBound)
                    score = beta;  // a mate the pass allowed is no proof
                // With a lone piece, zugzwang is likely: verify without passing.
                bool verified = true;
                if (p.us->pieceCount <= NullMoveVerifyPieces && depth >= NullMoveVerifyDepth) {
                    s.modernNoNullMove = 1;
                    verified = SearchAgain(e, beta - 1, beta, depth - R, false) >= beta;
                    s.modernNoNullMove = 0;
                    p.effectivePly = effectivePly;
                    if (s.abortSearch)
                        return 0;
                }
                if (verified) {
                    TTStore(e, MakeMoveValue(NullMoveBestMarker, 0), depth, score, LowerBound);
                    return score;
                }
            }
            // The pass searched the opponent's moves: rebuild this node's maps.
            RebuildMaps(e.pos);
        }
    }

    // Step 7. Internal iterative reduction: a node that matters, with no move from the
    // table, is searched a ply less.
    if ((pvNode || cutNode) && depth >= IirMinDepth && !tableMove)
        depth--;

    // Step 7.1. Singular extension: when no other move comes near the table's score at
    // about half the depth, the table's move alone holds the node and is searched a ply
    // deeper; when another move beats beta even with the margin, the node is cut.
    int singularExtension = 0;
    if (!excluded && hashMove && depth >= SingularMinDepth && t.depth >= depth - SingularTableSlack
        && t.type != UpperBound && std::abs(t.score) < MateBound
        && p.searchPly < 2 * s.searchDepth) {
        const int singularBeta = t.score - SingularMarginPerPly * depth;
        s.modernExcluded = hashMove;
        const int score = SearchAgain(e, singularBeta - 1, singularBeta, (depth - 1) / 2, cutNode);
        p.effectivePly = effectivePly;
        if (s.abortSearch)
            return 0;
        if (score < singularBeta)
            singularExtension = 1;
        else if (singularBeta >= beta)
            return singularBeta;
        RebuildMaps(e.pos);
    }

    // Step 8. The table's move goes first, before anything is ordered: where it cuts off,
    // the node never keys its other moves. The others get the shared keys and the Modern
    // history among the quiet moves once it has been searched.
    PlyRecord* const next = r + 1;
    next->killerHits[0] = next->killerHits[1] = 0;
    MoveListEntry* const list = r->moves;
    const QuietTables tables = NodeQuietTables(e);
    const bool hashFirst = hashMove && BringToFront(p, hashMove);
    if (!hashFirst)
        OrderRest(e, hashMove, tables);

    // Step 9. The move loop. Once late-move pruning drops the quiet moves, the rest need no
    // selection: every one left is a quiet move or a losing capture.
    Move quietsTried[MaxQuietsTried];
    int quietCount = 0;
    int best = -Infinity;
    Move bestMove = 0;
    bool alphaRaised = false;
    bool selecting = true;
    int moveNumber = 0;
    for (int i = 0; i < r->moveCount; i++) {
        if (i == 1 && hashFirst) {
            // The search of the table's move walked the maps away from this node.
            RebuildMaps(e.pos);
            OrderRest(e, hashMove, tables);
        }
        if (i > 0 && selecting)
            PickNextMove(e, i);
        const MoveListEntry m = list[i];
        const Move move = EntryMove(m);
        if (move == excluded)
            continue;
        const bool quiet = IsQuietMove(p, m);

        // Step 9.1. Prune late moves once a score above being mated is in hand, unless a
        // shorter mate is sought: there a quiet move may be the one that mates sooner.
        if (best > -MateBound && alpha < MateBound && !inCheck) {
            if (quiet) {
                // Late-move pruning and futility; a check is always searched.
                const int lmrDepth = std::max(0, depth - 1 - Reduction(depth, moveNumber + 1));
                const bool late = depth <= LmpMaxDepth && quietCount >= LmpCount(depth, improving);
                const bool futile = lmrDepth <= FutilityMaxDepth
                                 && eval + FutilityBase + FutilityPerPly * lmrDepth <= alpha;
                selecting = selecting && !late;
                if ((late || futile) && !GivesCheck(p, move))
                    continue;
            } else if (depth <= BadCaptureMaxDepth && m.key < 0 && p.board[m.to] != Empty
                       && !GivesCheck(p, move)) {
                // The ordering keyed it as a capture that loses material.
                continue;
            }
        }
        moveNumber++;
        const bool refutation = quiet && (IsKiller(r, m) || IsCounterMove(e, move));
        const int history = quiet ? QuietHistory(p, tables, move) : 0;

        // Step 9.2. Make the move; a check that does not hang the checker is extended,
        // within twice the iteration's depth.
        PrefetchChild(e, m);
        MakeMove(e.pos, move);
        p.currentPly->extensionEighths = 0;
        const bool givesCheck = p.checkCount != 0;
        int newDepth = depth - 1;
        if ((i == 0 && hashFirst && singularExtension) || (inCheck && r->moveCount == 1))
            newDepth++;
        else if (givesCheck && p.searchPly <= 2 * s.searchDepth && CheckExtension(e))
            newDepth++;

        // Step 9.3. Search: the first move with the window; later ones with a null window,
        // quiet ones reduced first, and again at full depth and with the window when they
        // beat alpha.
        int score;
        if (moveNumber == 1) {
            score = -ModernSearch(e, -beta, -alpha, newDepth, !pvNode && !cutNode);
        } else {
            int R = 0;
            if (depth >= LmrMinDepth && quiet && !givesCheck && !inCheck) {
                // Only the refutations and history lessen the table's reduction: adding a
                // ply for non-PV, expected cut and not-improving nodes buried quiet tactical
                // moves (fewer tactics found at a fixed node count, no measurable gain in games).
                R = Reduction(depth, moveNumber) - refutation - history / LmrHistoryStep;
                R = std::clamp(R, 0, newDepth - 1);
            }
            score = -ModernSearch(e, -alpha - 1, -alpha, newDepth - R, true);
            if (score > alpha && R > 0 && !s.abortSearch)
                score = -SearchAgain(e, -alpha - 1, -alpha, newDepth, !cutNode);
            if (score > alpha && score < beta && pvNode && !s.abortSearch)
                score = -SearchAgain(e, -beta, -alpha, newDepth, false);
        }
        UnmakeMove(e.pos);
        p.effectivePly = effectivePly;

        // Step 9.4. A stopped search unwinds at once and stores nothing.
        if (s.abortSearch)
            return 0;

        // Step 9.5. A new best: cut off at beta, or raise alpha and the PV.
        if (score > best) {
            best = score;
            bestMove = move;
            if (score > alpha) {
                if (score >= beta) {
                    s.stats.failHighs++;
                    if (moveNumber == 1)
                        s.stats.failHighFirst++;
                    else if (moveNumber == 2)
                        s.stats.failHighSecond++;
                    if (!excluded)
                        TTStore(e, move, depth, best, LowerBound);
                    if (quiet)
                        RewardQuietCutoff(e, move, quietsTried, quietCount, depth);
                    RecordGoodMove(e, move);
                    return best;
                }
                alpha = score;
                UpdatePv(e, m, p.searchPly);
                alphaRaised = true;
            }
        }
        if (quiet && quietCount < MaxQuietsTried)
            quietsTried[quietCount++] = move;
    }

    // Step 10. Store the result; a node that left out a move has no result of its own.
    if (excluded)
        return best;
    TTStore(e, bestMove, depth, best, alphaRaised ? ExactScore : UpperBound);
    if (alphaRaised)
        RecordGoodMove(e, bestMove);
    return best;
}
