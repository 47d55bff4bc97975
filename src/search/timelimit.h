// The search's time limit: the budget, stretched by panic time when the score drops and
// paranoid time when it jumps. Every time here is a count of milliseconds.
#pragma once

#include <cstdint>

// Remarks of the limit test, which the time check reports.
enum TimeRemark : uint32_t {
    RemarkTrouble = 1,         // the score dropped: panic time granted
    RemarkReducedPanic = 2,    // ... but less of it, the clock being short
    RemarkLookingGood = 4,     // the score jumped: paranoid time granted
    RemarkZeroParanoid = 8,    // ... but none beyond the budget, the clock being short
};

// What the limit test reads and the panic time it may grant.
struct TimeLimitInput {
    int64_t elapsedMs;        // since the search started
    int64_t maxTime;          // target time per move
    int64_t clockRemaining;   // the clock as last reported
    int64_t panicCeiling;     // ceiling of any panic time, or -1 when the budget is not from a clock
    bool bestMoveStable;      // the best move has not changed since the first iteration
    bool havePrevious;        // the previous search's root score exists
    int32_t iterationsDone;   // iterations the running search has completed
    int32_t score;            // root score of the running search
    int32_t previousScore;    // root score of the engine's previous search
};

// Applies the time limit with panic and paranoid time; panicTime is the extension granted
// so far in this search (0 for none) and may be raised. A budget from a clock (panicCeiling
// set) does not stop a search short of six iterations before a tenth of the clock has
// passed. Returns true when time is up; remarks receives the TimeRemark bits to report.
bool TimeLimitReached(const TimeLimitInput& in, int64_t& panicTime, uint32_t& remarks);

