// The in-search check of the stop request and the node limit.
#include "search/timecheck.h"

#include <cinttypes>

#include "engine.h"
#include "search/searchclock.h"
#include "shell/output.h"

static constexpr int InfoLineSeconds = 3;  // seconds between UCI progress lines

void TimeCheck(Engine& e) {
    SearchData& s = e.search;
    const Position& p = e.pos;
    s.nextPollAt += PollInterval;
    int32_t elapsed = ElapsedSeconds(e);
    int32_t state = s.searchState.load(std::memory_order_acquire);
    if (state == StopRequested) {
        s.abortSearch = 1;
        return;
    }
    if (s.uciOutput && elapsed == s.nextInfoSecond) {
        s.nextInfoSecond += InfoLineSeconds;
        Print("info nodes %" PRId64 " nps %" PRId64 "\n", p.nodeCount, p.nodeCount / elapsed);
    }
    if (state == Pondering || state == Analyzing)
        return;
    if (s.maxNodes != 0 && p.nodeCount >= s.maxNodes) {
        s.abortSearch = 1;
        return;
    }
}
