// The in-search check of the stop request, the node limit and the time budget.
#include "search/timecheck.h"

#include <cinttypes>

#include "engine.h"
#include "search/driver.h"
#include "search/searchclock.h"
#include "shell/output.h"
#include "shell/timecontrol.h"

static constexpr int InfoLineSeconds = 3;        // seconds between UCI progress lines
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
    int64_t elapsedMs = SearchElapsedMs(e);
    int32_t state = s.searchState.load(std::memory_order_acquire);
    if (state == StopRequested) {
        s.abortSearch = 1;
        return;
    }
    if (s.uciOutput && WholeSeconds(elapsedMs) == s.nextInfoSecond) {
        s.nextInfoSecond += InfoLineSeconds;
        Print("info nodes %" PRId64 " nps %" PRId64 "\n", p.nodeCount,
              NodesPerSecond(p.nodeCount, elapsedMs));
    }
    if (state == Pondering || state == Analyzing)
        return;
    if (s.maxNodes != 0 && p.nodeCount >= s.maxNodes) {
        s.abortSearch = 1;
        return;
    }
    const TimeControl& t = e.shell.time;
    TimeLimitInput in{};
    in.elapsedMs = elapsedMs;
    in.maxTime = s.maxTime;
    in.clockRemaining = t.clockRemaining.load(std::memory_order_relaxed);
    in.panicCeiling = t.panicCeiling.load(std::memory_order_relaxed);
    in.bestMoveStable = s.bestMoveStable != 0;
    in.iterationsDone = s.iterationsDone;
    in.score = p.rootPly->bestScore;
    in.havePrevious = PreviousRootScore(e, in.previousScore);
    uint32_t remarks = 0;
    if (TimeLimitReached(in, s.panicTime, remarks))
        s.abortSearch = 1;
    if (remarks && !s.uciOutput)
        PrintTimeRemarks(remarks);
}
