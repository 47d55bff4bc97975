// A monotonic millisecond clock for search timing.
#include "search/searchclock.h"

#include <chrono>

#include "engine.h"

int64_t NowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t ElapsedMilliseconds(const Engine& e) { return NowMilliseconds() - e.search.searchStartTime; }

int64_t SearchElapsedMs(const Engine& e) {
    const SearchData& s = e.search;
    if (s.timedFromRequest.load(std::memory_order_relaxed))
        return NowMilliseconds() - s.requestStartMs.load(std::memory_order_relaxed);
    return NowMilliseconds() - s.searchStartTime;
}
