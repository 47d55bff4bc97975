// The node search.
#include "search/alphabeta.h"

#include <cassert>

#include "board/geometry.h"
#include "board/givescheck.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "engine.h"
#include "search/exchange.h"
#include "search/extension.h"
#include "search/nodeprologue.h"
#include "search/nullmove.h"
#include "search/ordering.h"
#include "search/pv.h"
#include "search/quiesce.h"
#include "search/score.h"
#include "search/timecheck.h"
#include "search/transtable.h"
#include "search/treedump.h"

static constexpr int NullMoveMaterial = 3000;     // piece material a side needs to pass
static constexpr int NullMoveLead = 1500;         // or the lead in material it needs
static constexpr int NullMoveBigReduction = 4;    // R with more than 6 plies left and pieces
static constexpr int NullMoveReduction = 3;
static constexpr int NullMoveBigDepth = 6;
static constexpr int NullMovePieces = 2;          // pieceCount (king included) above this
static constexpr int MaterialEstimateBonus = 1000;  // added to the balance when not evaluating
static constexpr int FrontierMargin = 2000;       // one ply left
static constexpr int FutilityMargin = 5000;       // two to four plies left
static constexpr int ThreatMarkerWhite = 1;       // threatMarker naming the side to move
static constexpr int ThreatMarkerBlack = 2;
static_assert(MaxSearchPly < PvSize, "a node at the ply limit has its row of the PV table");

// True when a quiet move may still matter at a frontier node: it queens, reaches the seventh
// rank, takes en passant or gives check.
static bool FrontierWorthy(Engine& e, const MoveListEntry& m, Move move) {
    const Position& p = e.pos;
    int mover = p.board[m.from];
    if (mover == Pawn || mover == -Pawn) {
        int last = mover == Pawn ? 8 : 1;
        int seventh = mover == Pawn ? 7 : 2;
        if (rankOf[m.to] == last && m.promotion == (mover == Pawn ? Queen : -Queen))
            return true;
        if (rankOf[m.to] == seventh || (m.to == p.epSquare && p.epSquare))
            return true;
    }
    return GivesCheck(e.pos, move);
}

// True when the side to move may pass: not in check, not right after a pass, and enough
// material or a clear lead.
static bool NullMoveAllowed(const Position& p) {
    const PlyRecord* r = p.currentPly;
    if (r->checkCount || r->from == 0)
        return false;
    bool leads = p.whiteToMove ? p.materialBalance > NullMoveLead : p.materialBalance < -NullMoveLead;
    return p.us->material > NullMoveMaterial || leads;
}

int AlphaBeta(Engine& e, int alpha, int beta) {
    Position& p = e.pos;
    SearchData& s = e.search;
    PlyRecord* const r = p.currentPly;
    // On entry: a sane window; a node within the ply limit, which keeps its PV row in the
    // table; its record inside the ply stack, no further above the root than plies made.
    assert(-Infinity <= alpha && alpha < beta && beta <= Infinity);
    assert(p.searchPly >= 0 && p.searchPly <= MaxSearchPly);
    assert(r >= p.rootPly && r - p.rootPly <= p.searchPly && r < p.plyStack + PlyStackSize);

    // Step 1. Poll the clock, the node limit and the stop request.
    if (p.nodeCount >= s.nextPollAt)
        TimeCheck(e);

    // Step 2. Nothing searched yet.
    int best = -Infinity;

    // Steps 3 to 6. Checkmate, draw, pawn ending, ply limit.
    int settled;
    if (ResolveNode(e, alpha, beta, settled))
        return settled;

    // Step 7. Table probe: a deep enough entry may answer or narrow the window.
    const int remaining = s.searchDepth - p.effectivePly;
    TTEntry t;
    Move hashMove = 0;
    if (TTProbe(e, t)) {
        if (t.depth >= remaining && TableSettles(e, t, alpha, beta, best, settled))
            return settled;
        hashMove = MakeMoveValue(t.from, t.to, t.promotion);
    }

    // Step 8. Null move, or the futility flags when the static score is below beta.
    int eval;
    bool frontier = false, deepFutility = false, mateThreat = false;
    if (NullMoveAllowed(p)) {
        eval = SearchEvaluate(e);
        if (eval >= beta) {
            int R = remaining > NullMoveBigDepth
                    && (p.white.pieceCount > NullMovePieces || p.black.pieceCount > NullMovePieces)
                ? NullMoveBigReduction : NullMoveReduction;
            if (p.searchPly + R < MaxSearchPly) {
                TTPrefetch(s, p.hashKey ^ sideToMoveKey);
                MakeNullMove(e, R);
                int nullScore;
                TTEntry n;
                if (TTProbe(e, n) && (n.type == ExactScore || n.type == LowerBound)
                    && -n.score < beta)
                    nullScore = -n.score;
                else if (p.effectivePly < s.searchDepth)
                    nullScore = -AlphaBeta(e, -beta, -beta + 1);
                else
                    nullScore = -Quiesce(e, -beta, -beta + 1);
                UnmakeNullMove(e, R);
                if (s.abortSearch)
                    return best;
                if (nullScore >= beta) {
                    TreeDumpCut(e, p.searchPly);
                    TTStore(e, MakeMoveValue(NullMoveBestMarker, 0), remaining, nullScore, LowerBound);
                    return nullScore;
                }
                if (nullScore < MateThreatBound)
                    mateThreat = true;
                // The pass searched the opponent's moves: rebuild this node's maps. Its
                // list lies below the pass's lists, untouched.
                RebuildMaps(e.pos);
            }
        } else if (remaining == 1 && eval < alpha - FrontierMargin) {
            frontier = true;
            best = eval;
        } else if (remaining == 2 && eval < alpha - FutilityMargin) {
            frontier = true;
            best = eval;
        } else if ((remaining == 3 || remaining == 4) && eval < alpha - FutilityMargin) {
            deepFutility = true;
            best = eval;
        }
    } else {
        eval = (p.whiteToMove ? p.materialBalance : -p.materialBalance) + MaterialEstimateBonus;
    }

    // Step 9. The children start with fresh killer counters.
    PlyRecord* const next = r + 1;
    next->killerHits[0] = next->killerHits[1] = 0;

    // Step 10. Order the moves; the hash move goes first.
    OrderMoves(e, 0, true, hashMove);

    // Step 11. A pin that costs the side to move material extends every move of the node.
    const bool threatExtension = eval > alpha
        && r->threatMarker == (p.whiteToMove ? ThreatMarkerWhite : ThreatMarkerBlack)
        && r - p.plyStack >= 2 && !(r - 1)->threatMarker && !(r - 2)->threatMarker
        && r->from != 0 && (r - 1)->from != 0;

    // Step 12. The move loop.
    MoveListEntry* const list = r->moves;
    const PlyRecord* const parent = r > p.plyStack ? r - 1 : r;
    Move bestMove = 0;
    bool alphaRaised = false;
    for (int i = 0; r->movesLeft > 0; i++) {
        // Step 12.1. Select the best remaining move for the first eight places.
        if (i >= 1 && i <= 7)
            PickNextMove(e, i);
        r->movesLeft--;
        const MoveListEntry m = list[i];
        const Move move = EntryMove(m);
        const bool quiet = p.board[m.to] == Empty;

        // Steps 12.2 and 12.3. Futility: quiet moves that cannot matter are skipped.
        if (frontier && quiet && !FrontierWorthy(e, m, move))
            continue;
        if (deepFutility && quiet && !IsKingAttackMove(e, move) && !GivesCheck(e.pos, move))
            continue;

        // Step 12.4. Extension before the move: node-wide threat, the move's own, mate threat.
        int extension;
        if (threatExtension) {
            extension = OnePly;
            next->recaptureExtended = 0;
        } else {
            extension = ComputeExtension(e, m);
        }
        if (extension == 0 && mateThreat && parent->mateThreatExtended < 1) {
            extension = OnePly;
            r->mateThreatExtended = parent->mateThreatExtended + 1;
            s.stats.threatExtensions++;
        }

        // Step 12.5. Make the move; a check not yet extended may be.
        PrefetchChild(e, m);
        MakeMove(e.pos, move);
        if (extension == 0 && p.checkCount)
            extension = CheckExtension(e);

        // Step 12.6. The child's depth.
        PlyRecord* const child = p.currentPly;
        child->extensionEighths = r->extensionEighths + extension;
        p.effectivePly = p.searchPly - child->extensionEighths / OnePly;

        // Step 12.7. Search the child.
        int score = p.effectivePly < s.searchDepth ? -AlphaBeta(e, -beta, -alpha)
                                                   : -Quiesce(e, -beta, -alpha);
        UnmakeMove(e.pos);

        // Step 12.8. A stopped search unwinds at once and stores nothing.
        if (s.abortSearch)
            return best;

        // Step 12.9. A new best: cut off at beta, or raise alpha and the PV.
        if (score > best) {
            best = score;
            bestMove = move;
            if (best >= beta) {
                s.stats.failHighs++;
                if (i == 0)
                    s.stats.failHighFirst++;
                else if (i == 1)
                    s.stats.failHighSecond++;
                TreeDumpCut(e, p.searchPly);
                TTStore(e, move, remaining, beta, LowerBound);
                RecordGoodMove(e, move);
                return best;
            }
            if (best > alpha) {
                alpha = best;
                UpdatePv(e, m, p.searchPly);
                alphaRaised = true;
            }
        }
    }

    // Step 13. Store the result unless no move was searched to a score.
    if (MoveFrom(bestMove) == 0)
        return best;
    TTStore(e, bestMove, remaining, best, alphaRaised ? ExactScore : UpperBound);
    RecordGoodMove(e, bestMove);
    return best;
}
