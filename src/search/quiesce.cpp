// The quiescence search.
#include "search/quiesce.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

#include "board/makemove.h"
#include "engine.h"
#include "search/nodeprologue.h"
#include "search/ordering.h"
#include "search/pv.h"
#include "search/score.h"
#include "search/transtable.h"
#include "search/treedump.h"

static constexpr int EvasionPlies = 2;      // in check up to this far past the horizon: evade
static constexpr int CaptureMarginSlack = 1000;

int Quiesce(Engine& e, int alpha, int beta) {
    Position& p = e.pos;
    SearchData& s = e.search;
    PlyRecord* const r = p.currentPly;
    // On entry: a sane window; a node within the ply limit, which keeps its PV row in the
    // table; its record inside the ply stack, no further above the root than plies made.
    assert(-Infinity <= alpha && alpha < beta && beta <= Infinity);
    assert(p.searchPly >= 0 && p.searchPly <= MaxSearchPly);
    assert(r >= p.rootPly && r - p.rootPly <= p.searchPly && r < p.plyStack + PlyStackSize);

    // Step 1. Count the nodes beyond the horizon.
    if (p.effectivePly > s.searchDepth)
        s.stats.quiesceNodes++;

    // Step 2. Nothing searched yet.
    int best = -Infinity;

    // Step 3. Checkmate, draw, pawn ending, ply limit.
    int settled;
    if (ResolveNode(e, alpha, beta, settled))
        return settled;

    // Step 4. Table probe: entries of the quiescence levels and deeper count.
    const int remaining = s.searchDepth - p.effectivePly;
    TTEntry t;
    Move hashMove = 0;
    if (TTProbe(e, t)) {
        if (t.depth >= 0 && TableSettles(e, t, alpha, beta, best, settled))
            return settled;
        hashMove = MakeMoveValue(t.from, t.to, t.promotion);
    }

    // Step 5. Static score.
    const int eval = SearchEvaluate(e);
    PlyRecord* const next = r + 1;

    if (r->checkCount && p.effectivePly <= s.searchDepth + EvasionPlies && eval > alpha) {
        // Step 6. In check near the horizon: no standing pat, every evasion is searched.
        next->killerHits[0] = next->killerHits[1] = 0;
        OrderMoves(e, 0, true, hashMove);
    } else {
        // Step 7. Stand pat, then search the moves that can win at least the margin.
        int reference = eval;
        if (best == -Infinity)
            best = eval;
        else
            reference = std::min(eval, best);
        if (best >= beta) {
            TreeDumpCut(e, p.searchPly);
            return best;
        }
        if (best > alpha) {
            alpha = best;
            EmptyPvRow(e, p.searchPly);
        }
        int64_t margin = int64_t(alpha) - (int64_t(reference) + CaptureMarginSlack);
        next->killerHits[0] = next->killerHits[1] = 0;
        OrderMoves(e, int(std::max<int64_t>(margin, 1)), false, hashMove);
    }

    // Step 8. The move loop; excluded moves are passed over.
    MoveListEntry* const list = r->moves;
    Move bestMove = 0;
    bool alphaRaised = false;
    for (int i = 0; r->movesLeft > 0 && i < r->moveCount; i++) {
        // Step 8.1. Select the best remaining move for the first eight places.
        if (i >= 1 && i <= 7)
            PickNextMove(e, i);
        // Step 8.2. Moves the filter dropped are never made.
        const MoveListEntry m = list[i];
        if (m.excluded)
            continue;
        // Step 8.3. Each quiescence level counts as a whole ply.
        r->movesLeft--;
        const Move move = EntryMove(m);
        PrefetchChild(e, m);
        MakeMove(e.pos, move);
        const int savedEffectivePly = p.effectivePly;
        p.effectivePly = savedEffectivePly + 1;
        // Step 8.4. Search the child.
        int score = -Quiesce(e, -beta, -alpha);
        UnmakeMove(e.pos);
        p.effectivePly = savedEffectivePly;
        // Step 8.5. A new best: cut off at beta, or raise alpha and the PV.
        if (score > best) {
            best = score;
            bestMove = move;
            if (best >= beta) {
                TreeDumpCut(e, p.searchPly);
                if (remaining >= 0)
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

    // Step 9. Store the result at the first quiescence level.
    if (MoveFrom(bestMove) != 0) {
        if (remaining >= 0)
            TTStore(e, bestMove, remaining, best, alphaRaised ? ExactScore : UpperBound);
        RecordGoodMove(e, bestMove);
    }
    return best;
}
