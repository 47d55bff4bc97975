// A monotonic millisecond clock for search timing.
#include "search/searchclock.h"

#include <chrono>

#include "engine.h"

int64_t NowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t ElapsedMilliseconds(const Engine& e) { return NowMilliseconds() - e.search.searchStartTime; }
