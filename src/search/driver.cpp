// Iterative deepening with an aspiration window, and the root move loop.
#include "search/driver.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "book/probe.h"
#include "engine.h"
#include "notation/movetext.h"
#include "search/alphabeta.h"
#include "search/draw.h"
#include "search/modern.h"
#include "search/nodeprologue.h"
#include "search/ordering.h"
#include "search/pv.h"
#include "search/quiesce.h"
#include "search/rootfilter.h"
#include "search/rootreport.h"
#include "search/rootscore.h"
#include "search/score.h"
#include "search/scoretext.h"
#include "search/searchclock.h"
#include "search/searchreport.h"
#include "search/strengthplay.h"
#include "search/tables.h"
#include "search/threads.h"
#include "search/timecheck.h"
#include "search/transtable.h"
#include "search/treedump.h"

static constexpr int AspirationWindow = 750;
static constexpr int FailHighWidening = 2000;
static constexpr int FullWindowPass = 3;       // from this pass on the window is always full
static constexpr int ResignScore = -6000;
static constexpr int ResignHistory = 6;        // plies back the resign test looks
static constexpr int FirstInfoSecond = 2;

// Reports a move chosen without a search; what names why, or is nullptr.
static void ReportUnsearched(Engine& e, Move move, const char* what) {
    SearchReport r{ReportKind::Unsearched};
    r.nodes = e.pos.nodeCount;
    r.elapsedMs = ElapsedMilliseconds(e);
    r.pv = e.search.pv[0];
    r.move = move;
    r.what = what;
    Report(e, r);
}

// Outcome of one search of a root move.
enum class RootResult { Searched, MateInOne };

// Searches one root move with the window (alpha, beta); a move that mates at once is reported
// without searching.
static RootResult SearchRootMove(Engine& e, const MoveListEntry& m, int alpha, int beta, int& score) {
    Position& p = e.pos;
    PlyRecord* root = p.currentPly;
    const Move move = EntryMove(m);
    TreeDumpMove(e, move, 0);
    (root + 1)->recaptureExtended = 0;
    MakeMove(e.pos, move);
    PlyRecord* child = p.currentPly;
    child->extensionEighths = root->extensionEighths;
    p.effectivePly = p.searchPly - child->extensionEighths / 8;
    if (IsDraw(e, 2)) {
        score = DrawScore;
        if (alpha < 0)
            EmptyPvRow(e, 1);
    } else if (child->moveCount == 0 && child->checkCount) {
        UnmakeMove(e.pos);
        TreeDumpText(e, "MATE!");
        return RootResult::MateInOne;
    } else if (e.search.searchKind == SearchKind::Modern) {
        score = -ModernSearch(e, -beta, -alpha, e.search.searchDepth - 1, false);
    } else {
        p.searchPly = 1;
        score = e.search.searchDepth < 2 ? -Quiesce(e, -beta, -alpha) : -AlphaBeta(e, -beta, -alpha);
    }
    UnmakeMove(e.pos);
    return RootResult::Searched;
}

void SearchRoot(Engine& e, bool useAspiration) {
    Position& p = e.pos;
    SearchData& s = e.search;
    PlyRecord* const root = p.currentPly;
    MoveListEntry* const list = root->moves;

    // Step 1. The window. The score the iteration reports, and whether it is only a bound,
    // follow the window's failures. A mate score gets no aspiration window: bounds a few pawns
    // beside a mate are no scores at all, and would have every node of the defender on the
    // mating line try a pass against them, which in zugzwang hides the mate.
    if (s.lastScore > MateBound || s.lastScore < -MateBound)
        useAspiration = false;
    int alpha = useAspiration ? s.lastScore - AspirationWindow : -Infinity;
    int beta = useAspiration ? s.lastScore + AspirationWindow : Infinity;
    int reportScore = s.lastScore;
    ScoreBound reportBound = ScoreBound::Exact;
    for (int pass = 1;; pass++) {
        // Step 2. A pass; the third and later passes use the full window.
        if (pass >= FullWindowPass) {
            alpha = -Infinity;
            beta = Infinity;
        }
        TreeDumpText(e, "\n------- alpha = %ld, beta = %ld\n", long(alpha), long(beta));
        (root + 1)->killerHits[0] /= 2;
        (root + 1)->killerHits[1] /= 2;
        s.lastDumpPly = 100;
        s.rootMovesDone = 0;
        const int passAlpha = alpha;
        bool raised = false;

        // Step 3. The root moves in list order.
        for (int i = 0; i < root->moveCount && !s.abortSearch; i++) {
            const MoveListEntry m = list[i];
            ReportCurrentMove(e, m, i);
            int moveBeta = i == 0 ? beta : alpha + 1;
            bool failHigh = false;
            for (;;) {
                int score;
                if (SearchRootMove(e, m, alpha, moveBeta, score) == RootResult::MateInOne) {
                    EndOnMateInOne(e, i);
                    return;
                }
                if (s.abortSearch)
                    break;
                // A re-search after a fail high that fails low gets the full window.
                if (failHigh && score < alpha) {
                    alpha = -Infinity;
                    moveBeta = Infinity;
                    continue;
                }
                s.rootMovesDone++;
                root->bestScore = i == 0 ? score : std::max(root->bestScore, score);
                if (score <= alpha) {
                    // A re-search that ends on the bound its fail high set pins the score.
                    if (failHigh && score == alpha) {
                        reportScore = score;
                        reportBound = ScoreBound::Exact;
                    }
                    break;
                }
                // A new best move.
                raised = true;
                s.lastScore = score;
                reportScore = score;
                reportBound = score < moveBeta ? ScoreBound::Exact : ScoreBound::Lower;
                alpha = score;
                UpdatePv(e, m, 0);
                if (score >= moveBeta)
                    s.pv[0][1].from = 0;
                if (i > 0 && !failHigh) {
                    s.bestChangeIteration = s.iterationsDone;
                    s.bestChangeMoveNumber = s.rootMovesDone;
                    s.bestChangeMs = ElapsedMilliseconds(e);
                    MoveToFront(list, i);
                    ReportRoot(e, ReportKind::NewBest, s.searchDepth, score);
                }
                if (score < moveBeta) {
                    if (s.treeDumpOn)
                        TreeDumpText(e, "\n*** Best move so far: %s ,score = %ld",
                                     MoveToSan(e, EntryMove(m)), long(alpha));
                    break;
                }
                // Fail high: widen beta and search the move again. A window that was not a
                // null window has failed: the interface hears of the lower bound at once.
                if (i == 0 || failHigh)
                    ReportRoot(e, ReportKind::Bound, s.searchDepth, score, score, ScoreBound::Lower);
                if (s.treeDumpOn)
                    TreeDumpText(e, "\n*** Fail high!: %s , Beta = %ld, thisScore = %ld",
                                 MoveToSan(e, EntryMove(m)), long(moveBeta), long(score));
                const int oldBeta = moveBeta;
                moveBeta = failHigh ? Infinity : int(std::min<int64_t>(int64_t(score) + FailHighWidening, Infinity));
                alpha = oldBeta;
                failHigh = true;
            }
        }

        // Step 4. No move raised alpha: fail low, search again below the window.
        if (!raised && !s.abortSearch) {
            reportScore = root->bestScore;
            reportBound = ScoreBound::Upper;
            ReportRoot(e, ReportKind::Bound, s.searchDepth, reportScore, reportScore, reportBound);
            beta = passAlpha;
            alpha = -Infinity;
            continue;
        }
        break;
    }

    // Step 5. The iteration's report.
    ReportRoot(e, ReportKind::Iteration, s.searchDepth, s.lastScore, reportScore, reportBound);
}

// One iteration at searchDepth by the chosen tree search; the classic one uses an
// aspiration window from the second iteration on.
static void SearchIteration(Engine& e) {
    if (e.search.searchKind == SearchKind::Modern)
        ModernSearchRoot(e);
    else
        SearchRoot(e, e.search.iterationsDone > 0);
}

// Puts the root list's first count entries and their lines in order of score, best first,
// equal scores keeping their order.
static void SortLines(SearchData& s, MoveListEntry* list, int count) {
    for (int i = 1; i < count; i++)
        for (int j = i; j > 0 && s.pvLines[j].score > s.pvLines[j - 1].score; j--) {
            std::swap(s.pvLines[j], s.pvLines[j - 1]);
            std::swap(list[j], list[j - 1]);
        }
}

void SearchRootLines(Engine& e) {
    Position& p = e.pos;
    SearchData& s = e.search;
    PlyRecord* const root = p.currentPly;
    MoveListEntry* const list = root->moves;
    const int lines = std::min<int>(s.multiPv, root->moveCount);
    const MoveListEntry previousBest = list[0];
    (root + 1)->killerHits[0] /= 2;
    (root + 1)->killerHits[1] /= 2;
    s.rootMovesDone = 0;
    int linesDone = 0;

    // Line k is the best of the moves from index k on, searched with the full window; it
    // moves to index k.
    for (int k = 0; k < lines && !s.abortSearch; k++) {
        int alpha = -Infinity;
        for (int i = k; i < root->moveCount; i++) {
            const MoveListEntry m = list[i];
            ReportCurrentMove(e, m, i);
            // The first move gets the full window, the others a null window above the best,
            // and the full window above it again when they fail high.
            int score = 0;
            RootResult result = SearchRootMove(e, m, alpha, i == k ? Infinity : alpha + 1, score);
            if (result == RootResult::Searched && i > k && score > alpha && !s.abortSearch)
                result = SearchRootMove(e, m, alpha, Infinity, score);
            if (result == RootResult::MateInOne)
                score = RootMateScore;
            if (s.abortSearch)
                break;
            s.rootMovesDone++;
            if (i > k && score <= alpha)
                continue;
            alpha = score;
            if (result == RootResult::MateInOne) {
                s.pv[0][0] = m;
                s.pv[0][1].from = 0;
            } else {
                UpdatePv(e, m, 0);
            }
            MoveToFront(list + k, i - k);
            if (k == 0)
                s.lastScore = root->bestScore = score;
        }
        if (s.abortSearch)
            break;
        s.pvLines[k].score = alpha;
        std::memcpy(s.pvLines[k].moves, s.pv[0], sizeof s.pvLines[k].moves);
        ExtendLineFromTable(e, s.pvLines[k].moves);
        linesDone = k + 1;
    }
    // A search stopped after its first line plays that line's move with its PV.
    if (s.abortSearch) {
        if (linesDone > 0)
            std::memcpy(s.pv[0], s.pvLines[0].moves, sizeof s.pvLines[0].moves);
        return;
    }

    SortLines(s, list, lines);
    std::memcpy(s.pv[0], s.pvLines[0].moves, sizeof s.pvLines[0].moves);
    s.lastScore = root->bestScore = s.pvLines[0].score;
    if (list[0].from != previousBest.from || list[0].to != previousBest.to) {
        s.bestChangeIteration = s.iterationsDone;
        s.bestChangeMoveNumber = s.rootMovesDone;
        s.bestChangeMs = ElapsedMilliseconds(e);
    }
    for (int k = 0; k < lines; k++) {
        SearchReport r{ReportKind::Iteration};
        r.depth = s.searchDepth;
        r.score = r.windowScore = s.pvLines[k].score;
        r.nodes = SearchNodes(e);
        r.elapsedMs = ElapsedMilliseconds(e);
        r.pv = s.pvLines[k].moves;
        r.multiPv = k + 1;
        Report(e, r);
    }
}

// Takes the line of a helper that completed a deeper iteration than the main thread: its
// move goes to the front of the root list, its line and score become the search's, and the
// interface hears of it as that iteration's report.
static void AdoptDeeperLine(Engine& e) {
    SearchData& s = e.search;
    const Engine* h = DeepestHelper(e, s.iterationsDone);
    if (!h)
        return;
    const PvLine& line = h->search.pvLines[0];
    if (PutLineInFront(e, line))
        ReportRoot(e, ReportKind::Iteration, h->search.completedDepth, line.score, line.score);
}

// True when the search looks for a mate and a completed iteration has proven one in as
// many moves or fewer.
static bool MateSought(const SearchData& s) {
    return s.mateMoves > 0 && s.lastScore >= MateScore - (2 * s.mateMoves - 1);
}

// Clears the counters and state of a new search from the current record.
static void ResetSearch(Engine& e) {
    Position& p = e.pos;
    SearchData& s = e.search;
    s.resignFlag = 0;
    s.searchStartTime = NowMilliseconds();
    s.bestChangeMs = 0;
    s.bestChangeIteration = s.bestChangeMoveNumber = 0;
    s.lastStartedDepth = s.iterationsDone = s.rootMovesDone = 0;
    s.stats = SearchStats{};
    p.nodeCount = 0;
    p.searchPly = p.effectivePly = 0;
    s.nextPollAt = PollInterval;
    s.panicTime = 0;
    s.nextInfoSecond = FirstInfoSecond;
    s.abortSearch = 0;
    s.nullMoveExtraPlies = 0;
    s.strengthNodes = 0;
    p.rootPly = p.currentPly;
}

// Halves every history counter so that old successes fade.
static void AgeHistory(Engine& e) {
    for (auto& side : e.search.history)
        for (auto& row : side)
            for (uint32_t& counter : row)
                counter /= 2;
}

// True when the side to move has scored below the resign score in this search and the three
// searches before it.
static bool LooksLost(const Engine& e) {
    const PlyRecord* r = e.pos.currentPly;
    if (r - e.pos.plyStack <= ResignHistory)
        return false;
    for (int back = 0; back <= ResignHistory; back += 2) {
        int score;
        if (!RootScoreOf(e, r - back, score) || score >= ResignScore)
            return false;
    }
    return true;
}

// Prepares the root of a search after ResetSearch: the root list cut to the moves the
// search may play, root facts, the killers of ply 1 afresh, aged history, no extensions at
// the root, and the root list sorted once (hash move first, then by key). False when a
// game that has filled the ply stack leaves no room to search.
static bool PrepareRoot(Engine& e) {
    Position& p = e.pos;
    SearchData& s = e.search;
    PlyRecord* const root = p.currentPly;
    MoveListEntry* const list = root->moves;
    FilterRootMoves(s.rootFilter, e.pos);
    s.rootMoveCount = root->moveCount;
    s.rootEval = SearchEvaluate(e);
    const bool room = HasRoomForPly(e.pos);
    if (room)
        (root + 1)->killerHits[0] = (root + 1)->killerHits[1] = 0;

    AgeHistory(e);

    root->extensionEighths = 0;
    root->mateThreatExtended = 0;
    root->recaptureExtended = 0;

    TTEntry t{};
    TTProbe(e, t);
    OrderMoves(e, 0, true, MakeMoveValue(t.from, t.to, t.promotion));
    for (int i = 1; i <= root->moveCount - 2; i++)
        PickNextMove(e, i);
    s.pv[0][0] = list[0];
    s.pv[0][1].from = 0;
    s.bestMoveStable = 0;
    return room;
}

Move IterativeDeepening(Engine& e) {
    Position& p = e.pos;
    SearchData& s = e.search;
    PlyRecord* const root = p.currentPly;
    // Fresh maps and list for the root, whatever ran on the position before.
    GenerateMoves(e.pos);
    MoveListEntry* const list = root->moves;

    // Step 1. No legal move: mate or stalemate.
    if (root->moveCount == 0)
        return 0;

    // Step 2. Reset the counters; the root's first move is the PV until a search says more.
    const int savedDepth = s.searchDepth;
    const int maxDepth = std::clamp(savedDepth, 1, MaxDepthSetting);
    ResetSearch(e);
    const int64_t pawnHashHitsAtStart = e.eval.pawnHashHits;
    ClearPvRows(e);
    NormalizePromotions(e.pos);
    s.pv[0][0] = list[0];
    s.pv[0][1].from = 0;
    root->bestScore = -Infinity;
    MarkRootScore(e, root);

    // Step 3. A forced move is played at once.
    if (root->moveCount == 1) {
        Move move = EntryMove(list[0]);
        s.searchElapsedMs = ElapsedMilliseconds(e);
        SetScoreText(e, "Forced Move");
        root->bestScore = 0;
        ReportUnsearched(e, move, "Forced Move");
        return move;
    }

    // Step 4. A book move, unless analysing, looking for a mate or choosing among some of
    // the moves only.
    Move bookMove = 0;
    BookSource book = BookSource::None;
    if (e.book.useBook && s.searchState.load(std::memory_order_acquire) != Analyzing
        && s.mateMoves == 0 && !RootFilterApplies(s.rootFilter, e.pos))
        book = ProbeBook(e, &bookMove);
    if (book != BookSource::None) {
        SetScoreText(e, BookMoveText(book));
        s.searchElapsedMs = ElapsedMilliseconds(e);
        s.pv[0][0] = MoveListEntry{uint8_t(MoveFrom(bookMove)), uint8_t(MoveTo(bookMove)),
                                   int8_t(MovePromotion(bookMove)), 0, 0};
        s.pv[0][1].from = 0;
        root->bestScore = 0;
        ReportUnsearched(e, bookMove, "Book Move");
        return bookMove;
    }

    // Steps 5 to 8. Root facts, history and the root list's order; below full strength,
    // several lines within a node budget.
    const bool room = PrepareRoot(e);
    const bool limited = PlaysLimited(e);
    const int savedMultiPv = limited ? BeginLimitedSearch(e) : s.multiPv;
    ReportRoot(e, ReportKind::Start, 0, 0);

    // Step 9. Deepen one ply at a time, with the helper threads searching beside (none
    // below full strength, whose budget one thread counts).
    const bool helped = room && maxDepth > 1 && SearchThreadCount(e) > 1 && !limited;
    if (helped)
        StartHelpers(e);
    MoveListEntry firstBest{};
    int iterationScore = -Infinity;
    for (int depth = 1; depth <= maxDepth && room; depth++) {
        s.searchDepth = depth;
        NoteMainDepth(e, depth);
        TreeDumpText(e, "\n------- Full Width Search Depth = %d -------\n", depth);
        s.lastStartedDepth = depth;
        if (s.multiPv > 1)
            SearchRootLines(e);
        else
            SearchIteration(e);
        if (depth == 1) {
            firstBest = list[0];
            if (s.multiPv == 1)
                s.bestMoveStable = list[0].to == root->to && root->to && root->capturedPiece != Empty;
        } else if (list[0].from != firstBest.from || list[0].to != firstBest.to) {
            s.bestMoveStable = 0;
        }
        if (s.abortSearch)
            break;
        s.iterationsDone++;
        s.rootMovesDone = 0;
        if (limited)
            RecordLimitedLines(e);
        TreeDumpText(e, "\nTotal Nodes = %" PRId64 "\n", p.nodeCount);
        if (MateSought(s))
            break;
        if (s.searchKind == SearchKind::Modern && ModernIterationsEnough(e, iterationScore))
            break;
        iterationScore = s.lastScore;
    }
    if (helped) {
        StopHelpers(e);
        if (s.multiPv == 1)
            AdoptDeeperLine(e);
    }
    if (limited) {
        PlayLimitedMove(e);
        s.multiPv = savedMultiPv;
        s.strengthNodes = 0;
    }

    // Step 10. The answer is the front move; the root list is rebuilt for the caller. An
    // interface hears of every move it gets, even one the ordering alone chose.
    if (!room)
        ReportUnsearched(e, EntryMove(list[0]), nullptr);
    s.searchDepth = savedDepth;
    s.searchElapsedMs = ElapsedMilliseconds(e);
    s.stats.pawnHashHits += e.eval.pawnHashHits - pawnHashHitsAtStart;
    const Move answer = EntryMove(list[0]);
    GenerateMoves(e.pos);
    NormalizePromotions(e.pos);
    SetScoreText(e, nullptr);

    // Step 11. Resign when this search and the last three own ones all look lost.
    if (LooksLost(e))
        s.resignFlag = 1;
    return answer;
}

void HelperSearch(Engine& e) {
    Position& p = e.pos;
    SearchData& s = e.search;
    PlyRecord* const root = p.currentPly;
    GenerateMoves(e.pos);
    ResetSearch(e);
    const int64_t pawnHashHitsAtStart = e.eval.pawnHashHits;
    ClearPvRows(e);
    NormalizePromotions(e.pos);
    root->bestScore = -Infinity;
    MarkRootScore(e, root);
    s.lastScore = 0;
    s.completedDepth = 0;
    if (PrepareRoot(e)) {
        // Each iteration starts at least the helper's lead beyond the main thread's, so that
        // the helper fills the table ahead of it; the helper is not bound by the depth
        // limit, the main thread stops it. A completed iteration's line is kept for the main
        // thread, which plays it when it is deeper than its own.
        for (int depth = HelperNextDepth(e, 0); depth <= MaxDepthSetting; depth = HelperNextDepth(e, depth)) {
            s.searchDepth = depth;
            SearchIteration(e);
            if (s.abortSearch)
                break;
            s.iterationsDone++;
            s.completedDepth = depth;
            s.pvLines[0].score = s.lastScore;
            std::memcpy(s.pvLines[0].moves, s.pv[0], sizeof s.pvLines[0].moves);
        }
    }
    s.stats.pawnHashHits = e.eval.pawnHashHits - pawnHashHitsAtStart;
}

Move PredictMove(Engine& e) {
    Position& p = e.pos;
    GenerateMoves(e.pos);
    if (p.currentPly->moveCount == 0)
        return 0;
    NormalizePromotions(e.pos);
    TTEntry t{};
    bool known = TTProbe(e, t);
    OrderMoves(e, 0, true, MakeMoveValue(t.from, t.to, t.promotion));
    if (known)
        return EntryMove(p.currentPly->moves[0]);
    return SearchOnePly(e);
}

Move SearchOnePly(Engine& e) {
    SearchData& s = e.search;
    const int savedDepth = s.searchDepth;
    s.searchDepth = 1;
    Move move = IterativeDeepening(e);
    s.searchDepth = savedDepth;
    return move;
}
