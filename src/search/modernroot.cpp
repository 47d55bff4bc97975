// The Modern search's root iteration: an aspiration window that widens step by step around
// a principal-variation search of the root moves.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "board/makemove.h"
#include "engine.h"
#include "search/draw.h"
#include "search/modern.h"
#include "search/pv.h"
#include "search/rootreport.h"
#include "search/score.h"
#include "search/searchclock.h"
#include "search/treedump.h"

static constexpr int AspirationMinDepth = 4;     // shallower iterations use the full window
static constexpr int AspirationDelta = 15 * 9;   // first half-width: 15 hundredths of a pawn
static constexpr int AspirationWidest = 9000;    // beyond this half-width, the full window
// On a clock, no new iteration once this fraction of the budget is gone (the next one would
// rarely finish), unless the score fell by more than the drop. A fixed time a move is spent
// whole: nothing saved carries over, and a root move searched late can still take over.
static constexpr int SoftStopDivisor = 2;
static constexpr int SoftStopScoreDrop = 30 * 9;
static constexpr int SoftStopMinIterations = 6;  // as the clock's rule: no depth-5 moves

// How one pass over the root moves ended.
enum class PassResult { Done, MateInOne };

// Searches root move m with (alpha, beta) to depth: a draw by repetition or rule scores 0,
// a mate in one reports MateInOne without a score.
static PassResult SearchRootChild(Engine& e, const MoveListEntry& m, int alpha, int beta,
                                  int depth, int& score) {
    Position& p = e.pos;
    MakeMove(e.pos, EntryMove(m));
    p.currentPly->extensionEighths = 0;
    if (IsDraw(e, 2)) {
        score = DrawScore;
        EmptyPvRow(e, 1);
    } else if (p.currentPly->moveCount == 0 && p.checkCount) {
        UnmakeMove(e.pos);
        TreeDumpText(e, "MATE!");
        return PassResult::MateInOne;
    } else {
        score = -ModernSearch(e, -beta, -alpha, depth - 1, false);
    }
    UnmakeMove(e.pos);
    return PassResult::Done;
}

// One pass over the root moves with (alpha, beta): the first with the window, the others
// with a null window and again with the window when they beat alpha. A move that beats
// alpha goes to the front; a fail high ends the pass. Returns the best score of the pass.
static PassResult SearchRootPass(Engine& e, int alpha, int beta, int& best) {
    SearchData& s = e.search;
    PlyRecord* const root = e.pos.currentPly;
    MoveListEntry* const list = root->moves;
    const int depth = s.searchDepth;
    best = -Infinity;
    s.rootMovesDone = 0;
    (root + 1)->killerHits[0] /= 2;
    (root + 1)->killerHits[1] /= 2;
    for (int i = 0; i < root->moveCount; i++) {
        const MoveListEntry m = list[i];
        ReportCurrentMove(e, m, i);
        int score = 0;
        PassResult result = SearchRootChild(e, m, alpha, i == 0 ? beta : alpha + 1, depth, score);
        if (result == PassResult::Done && i > 0 && score > alpha && score < beta && !s.abortSearch)
            result = SearchRootChild(e, m, alpha, beta, depth, score);
        if (result == PassResult::MateInOne) {
            EndOnMateInOne(e, i);
            return result;
        }
        if (s.abortSearch)
            break;
        s.rootMovesDone++;
        root->bestScore = i == 0 ? score : std::max(root->bestScore, score);
        best = std::max(best, score);
        if (score <= alpha)
            continue;
        // A new best move.
        s.lastScore = score;
        alpha = score;
        UpdatePv(e, m, 0);
        if (i > 0) {
            s.bestChangeIteration = s.iterationsDone;
            s.bestChangeMoveNumber = s.rootMovesDone;
            s.bestChangeMs = ElapsedMilliseconds(e);
            MoveToFront(list, i);
            ReportRoot(e, ReportKind::NewBest, depth, score);
        }
        if (score >= beta) {
            s.pv[0][1].from = 0;
            break;
        }
    }
    return PassResult::Done;
}

bool ModernIterationsEnough(const Engine& e, int previousScore) {
    const SearchData& s = e.search;
    // A budget with no panic room above it is a fixed time a move, not a share of a clock.
    const int64_t ceiling = s.panicCeiling.load(std::memory_order_relaxed);
    if (ceiling < 0 || ceiling <= s.maxTime || s.maxNodes != 0
        || s.iterationsDone < SoftStopMinIterations)
        return false;
    const int32_t state = s.searchState.load(std::memory_order_acquire);
    if (state == Pondering || state == Analyzing)
        return false;
    if (s.lastScore < previousScore - SoftStopScoreDrop)
        return false;
    return ElapsedMilliseconds(e) * SoftStopDivisor >= s.maxTime;
}

void ModernSearchRoot(Engine& e) {
    SearchData& s = e.search;
    const int depth = s.searchDepth;
    int delta = AspirationDelta;
    int64_t alpha = -Infinity, beta = Infinity;
    if (depth >= AspirationMinDepth && std::abs(s.lastScore) < MateBound) {
        alpha = std::max<int64_t>(s.lastScore - delta, -Infinity);
        beta = std::min<int64_t>(s.lastScore + delta, Infinity);
    }
    int reportScore = s.lastScore;
    ScoreBound reportBound = ScoreBound::Exact;
    for (;;) {
        TreeDumpText(e, "\n------- alpha = %ld, beta = %ld\n", long(alpha), long(beta));
        int best;
        if (SearchRootPass(e, int(alpha), int(beta), best) == PassResult::MateInOne)
            return;
        if (s.abortSearch)
            break;
        if (best <= alpha) {
            // Fail low: the window moves down, keeping half of its upper side.
            reportScore = best;
            reportBound = ScoreBound::Upper;
            ReportRoot(e, ReportKind::Bound, depth, best, best, reportBound);
            beta = (alpha + beta) / 2;
            alpha = std::max<int64_t>(int64_t(best) - delta, -Infinity);
        } else if (best >= beta) {
            reportScore = best;
            reportBound = ScoreBound::Lower;
            ReportRoot(e, ReportKind::Bound, depth, best, best, reportBound);
            beta = std::min<int64_t>(int64_t(best) + delta, Infinity);
        } else {
            reportScore = best;
            reportBound = ScoreBound::Exact;
            break;
        }
        delta += delta / 2;
        if (delta > AspirationWidest) {
            alpha = -Infinity;
            beta = Infinity;
        }
    }
    ReportRoot(e, ReportKind::Iteration, depth, s.lastScore, reportScore, reportBound);
}
