// The in-search check of the stop request, the node limit and the time budget.
#include "search/timecheck.h"

#include "engine.h"
#include "search/rootscore.h"
#include "search/searchclock.h"
#include "search/searchreport.h"
#include "search/threads.h"
#include "search/timelimit.h"

static constexpr int ProgressSeconds = 3;        // seconds between progress reports
static constexpr int PreviousSearchPlies = 2;    // the engine's previous search sat this far back

// Reads the root score of the engine's previous search, two plies below the root, when
// that search left one there.
static bool PreviousRootScore(const Engine& e, int& score) {
    const Position& p = e.pos;
    if (p.rootPly - p.plyStack < PreviousSearchPlies)
        return false;
    return RootScoreOf(e, p.rootPly - PreviousSearchPlies, score);
}

void TimeCheck(Engine& e) {
    SearchData& s = e.search;
    const Position& p = e.pos;
    s.nextPollAt += PollInterval;
    if (s.helperOf) {
        // A helper: the main search thread alone watches the clock and decides the end.
        if (HelperMustStop(e))
            s.abortSearch = 1;
        return;
    }
    PublishNodes(e);
    int64_t elapsedMs = SearchElapsedMs(e);
    int32_t state = s.searchState.load(std::memory_order_acquire);
    if (state == StopRequested) {
        s.abortSearch = 1;
        return;
    }
    if (WholeSeconds(elapsedMs) == s.nextInfoSecond) {
        s.nextInfoSecond += ProgressSeconds;
        SearchReport r{ReportKind::Progress};
        r.nodes = SearchNodes(e);
        r.elapsedMs = elapsedMs;
        Report(e, r);
    }
    if (state == Pondering || state == Analyzing)
        return;
    if ((s.maxNodes != 0 && SearchNodes(e) >= s.maxNodes)
        || (s.strengthNodes != 0 && SearchNodes(e) >= s.strengthNodes)) {
        s.abortSearch = 1;
        return;
    }
    TimeLimitInput in{};
    in.elapsedMs = elapsedMs;
    in.maxTime = s.maxTime;
    in.clockRemaining = s.clockRemaining.load(std::memory_order_relaxed);
    in.panicCeiling = s.panicCeiling.load(std::memory_order_relaxed);
    in.bestMoveStable = s.bestMoveStable != 0;
    in.iterationsDone = s.iterationsDone;
    in.score = p.rootPly->bestScore;
    in.havePrevious = PreviousRootScore(e, in.previousScore);
    SearchReport r{ReportKind::TimeRemarks};
    if (TimeLimitReached(in, s.panicTime, r.remarks))
        s.abortSearch = 1;
    if (r.remarks) {
        r.elapsedMs = elapsedMs;
        r.nodes = SearchNodes(e);
        Report(e, r);
    }
}
