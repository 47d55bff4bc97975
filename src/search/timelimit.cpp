// The time limit the search's time check applies, with its panic and paranoid extensions.
#include "search/timelimit.h"

#include <algorithm>

#include "search/searchclock.h"

static constexpr int32_t FloorIterations = 6;      // iterations a move on a clock completes ...
static constexpr int64_t FloorClockDivisor = 10;   // ... while under this fraction of the clock
static constexpr int32_t ScoreSwing = 500;         // root score change that asks for more time
static constexpr int32_t TroubleFloor = -2999;     // below this the game is lost anyway
static constexpr int32_t GoodFloor = -1999;        // a sudden gain counts from here ...
static constexpr int32_t GoodCeiling = 1500;       // ... up to here

// Lowers a granted panic time to the ceiling, when the budget came from a clock.
static int64_t CapPanic(int64_t panic, int64_t ceiling) {
    return ceiling >= 0 ? std::min(panic, ceiling) : panic;
}

bool TimeLimitReached(const TimeLimitInput& in, int64_t& panicTime, uint32_t& remarks) {
    remarks = 0;
    const int64_t maxTime = ClampMs(in.maxTime);
    const int64_t clock = ClampMs(in.clockRemaining);
    const int64_t s = in.score;
    const int64_t p = in.previousScore;
    // A short budget on a clock that can spare more finishes a shallow search first: a
    // depth-5 move with seconds on the clock throws the game away for a few milliseconds.
    if (in.panicCeiling >= 0 && in.iterationsDone < FloorIterations
        && in.elapsedMs < clock / FloorClockDivisor)
        return false;
    if (in.bestMoveStable) {
        // An unchanged best move: half the budget suffices unless the score dropped.
        if (in.elapsedMs < maxTime / 2)
            return false;
        if (panicTime == 0 && in.havePrevious && s < p - ScoreSwing) {
            int64_t panic = maxTime * 3 / 2;
            remarks |= RemarkTrouble;
            if (maxTime * 2 >= clock) {
                remarks |= RemarkReducedPanic;
                panic = maxTime;
            }
            panicTime = CapPanic(panic, in.panicCeiling);
        }
        return !(in.elapsedMs < panicTime);
    }
    if (in.elapsedMs < maxTime)
        return false;
    if (panicTime == 0 && in.havePrevious) {
        if (s < p - ScoreSwing && p >= TroubleFloor) {
            int64_t panic = maxTime * 3;
            remarks |= RemarkTrouble;
            if (maxTime * 4 >= clock) {
                remarks |= RemarkReducedPanic;
                panic = maxTime + maxTime / 2;
                if (maxTime * 2 >= clock)
                    panic = maxTime;
            }
            panicTime = CapPanic(panic, in.panicCeiling);
        } else if (s > p + ScoreSwing && s != 0 && p < GoodCeiling && p >= GoodFloor) {
            int64_t panic = maxTime * 3;
            remarks |= RemarkLookingGood;
            if (maxTime * 4 >= clock) {
                remarks |= RemarkZeroParanoid;
                panic = maxTime;
            }
            panicTime = CapPanic(panic, in.panicCeiling);
        }
    }
    return !(in.elapsedMs < panicTime);
}
