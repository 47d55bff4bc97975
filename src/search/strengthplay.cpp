// The driver's side of a limited strength: the lines it keeps, the move it draws, the pace.
#include "search/strengthplay.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine.h"
#include "search/rootreport.h"
#include "search/searchclock.h"
#include "search/strength.h"
#include "search/threads.h"
#include "search/timecheck.h"

static constexpr int PacePercent = 70;  // share of the move's budget a limited move waits for
static constexpr int PaceStepMs = 5;    // how often the wait looks for a stop request
// Budgets above a quarter of an hour stand for a depth or node limit (or none), not for a
// clock or a time a move: such a search answers as soon as it is done.
static constexpr int64_t LongestPacedBudgetMs = 900000;

bool PlaysLimited(const Engine& e) {
    return StrengthLimited(e.search.strength)
        && e.search.searchState.load(std::memory_order_acquire) != Analyzing;
}

int BeginLimitedSearch(Engine& e) {
    SearchData& s = e.search;
    const int savedMultiPv = s.multiPv;
    s.multiPv = std::max(s.multiPv, StrengthLines);
    s.strengthNodes = LevelNodes(s.strength.level);
    s.nextPollAt = std::min(s.nextPollAt, s.strengthNodes);
    s.pickCount = 0;
    return savedMultiPv;
}

void RecordLimitedLines(Engine& e) {
    SearchData& s = e.search;
    if (s.pickCount > 0 && SearchNodes(e) > s.strengthNodes)
        return;
    const int lines = std::min({s.multiPv, e.pos.currentPly->moveCount, StrengthLines});
    for (int k = 0; k < lines; k++)
        s.pickLines[k] = s.pvLines[k];
    s.pickCount = lines;
}

// Holds the answer of a search on a clock or a time a move until PacePercent of its budget
// has passed, so that a small node budget does not answer at once.
static void PaceMove(Engine& e) {
    SearchData& s = e.search;
    const int64_t budget = s.maxTime.load(std::memory_order_relaxed);
    if (budget > LongestPacedBudgetMs)
        return;
    const int64_t target = budget * PacePercent / 100;
    while (ElapsedMilliseconds(e) < target
           && s.searchState.load(std::memory_order_acquire) == Thinking)
        std::this_thread::sleep_for(std::chrono::milliseconds(PaceStepMs));
}

void PlayLimitedMove(Engine& e) {
    SearchData& s = e.search;
    if (s.pickCount > 0) {
        int32_t scores[StrengthLines];
        for (int k = 0; k < s.pickCount; k++)
            scores[k] = s.pickLines[k].score;
        const uint64_t random = StrengthRandom(s.strength.gameSeed, e.pos.hashKey);
        PutLineInFront(e, s.pickLines[PickLine(scores, s.pickCount, s.strength.level, random)]);
    }
    PaceMove(e);
}
