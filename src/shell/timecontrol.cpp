// Move time budgets from the time controls and the clock, and the search's time limit
// with its panic and paranoid extensions.
#include "shell/timecontrol.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "engine.h"
#include "search/searchclock.h"
#include "shell/output.h"

// Tunables of the budget and the limit test.
static constexpr int64_t ClockReserveSeconds = 3;  // kept back from a period's time
static constexpr int64_t GameShareDivisor = 30;    // a whole game is spread over 30 moves
static constexpr int64_t GameShareBonus = 15;      // added to the clock before that division
static constexpr int64_t ShortClockSeconds = 15;   // below this, with an increment, play on it
static constexpr int32_t EarlyGameSeconds = 2;     // thinking time up to which moves vary
static constexpr int32_t CapMinimumMargin = 1;     // seconds kept on the clock at least
static constexpr int32_t CapMarginDivisor = 10;    // ... or this fraction of the clock
static constexpr int32_t ScoreSwing = 500;         // root score change that asks for more time
static constexpr int32_t TroubleFloor = -2999;     // below this the game is lost anyway
static constexpr int32_t GoodFloor = -1999;        // a sudden gain counts from here ...
static constexpr int32_t GoodCeiling = 1500;       // ... up to here

// Narrows a 64-bit value to the signed 32-bit range.
static int32_t Clamp32(int64_t v) {
    return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

int64_t NowMs() {
    return NowMilliseconds();  // the search's own clock, so both measure alike
}

int64_t SearchElapsedMs(const Engine& e) {
    const TimeControl& t = e.shell.time;
    if (t.timedFromRequest.load(std::memory_order_relaxed))
        return NowMs() - t.searchStartMs.load(std::memory_order_relaxed);
    return NowMs() - e.search.searchStartTime;
}

// Reads leading decimal digits at text, advancing it; saturates instead of overflowing.
static int64_t ReadDigits(const char*& text) {
    int64_t v = 0;
    while (std::isdigit(static_cast<unsigned char>(*text))) {
        v = std::min<int64_t>(v * 10 + (*text - '0'), INT32_MAX);
        text++;
    }
    return v;
}

int32_t LevelBaseSeconds(const char* text) {
    int64_t minutes = ReadDigits(text);
    int64_t seconds = 0;
    if (*text == ':') {
        text++;
        seconds = ReadDigits(text);
    }
    return Clamp32(minutes * 60 + seconds);
}

// Share of a whole game's clock for one move: the increment less a second on a short
// clock, else a thirtieth of the clock plus the increment.
static int64_t GameShare(int64_t remaining, int64_t increment) {
    if (increment != 0 && remaining < ShortClockSeconds)
        return increment - 1;
    return (remaining + GameShareBonus) / GameShareDivisor + increment;
}

int32_t LevelBudget(int32_t movesPerSession, int32_t baseSeconds, int32_t incrementSeconds) {
    int64_t moves = std::max(movesPerSession, 0);
    if (moves != 0)
        return Clamp32((int64_t(baseSeconds) - ClockReserveSeconds) / moves + incrementSeconds);
    return Clamp32((int64_t(baseSeconds) + GameShareBonus) / GameShareDivisor + incrementSeconds);
}

int32_t ClockCap(int32_t remainingSeconds) {
    int32_t margin = std::max(CapMinimumMargin, remainingSeconds / CapMarginDivisor);
    return std::max(0, remainingSeconds - margin);
}

int32_t ClockBudget(int32_t remainingSeconds, int32_t movesPerSession, int32_t baseSeconds,
                    int32_t incrementSeconds, int32_t plyNumber, int32_t totalThinkingSeconds,
                    uint32_t (*nextRandom)(Engine& e), Engine& e) {
    int64_t moves = std::max(movesPerSession, 0);
    int64_t remaining = remainingSeconds;
    int64_t budget;
    if (moves == 0) {
        budget = GameShare(remaining, incrementSeconds);
    } else {
        // Moves to go in this period: M - plyNumber / 2, raised by M until positive.
        int64_t played = std::max(plyNumber, 0) / 2 % moves;
        int64_t toGo = played ? moves - played : moves;
        if (toGo == moves && plyNumber > 1 && remaining < baseSeconds)
            remaining += baseSeconds;  // the clock has not yet been credited with the period
        budget = (remaining - ClockReserveSeconds) / toGo + incrementSeconds;
    }
    // The first moves of a game vary: up to half as long again, by chance.
    if (totalThinkingSeconds <= EarlyGameSeconds && moves != 1) {
        int64_t half = budget / 2;
        if (half > 0)
            budget += half + int64_t(nextRandom(e) % uint32_t(std::min<int64_t>(half, UINT32_MAX)));
    }
    return Clamp32(std::min<int64_t>(budget, ClockCap(remainingSeconds)));
}

int32_t UciClockBudget(int32_t remainingSeconds, int32_t incrementSeconds, int32_t movesToGo) {
    int64_t budget;
    if (movesToGo > 0)
        budget = (int64_t(remainingSeconds) - ClockReserveSeconds) / movesToGo + incrementSeconds;
    else
        budget = GameShare(remainingSeconds, incrementSeconds);
    return Clamp32(std::min<int64_t>(budget, ClockCap(remainingSeconds)));
}

// Lowers a granted panic time to the clock's cap, when the budget came from a clock.
static int32_t CapPanic(int64_t panic, int32_t clockCap) {
    if (clockCap >= 0)
        panic = std::min<int64_t>(panic, clockCap);
    return Clamp32(panic);
}

bool TimeLimitReached(const TimeLimitInput& in, int32_t& panicTime, uint32_t& remarks) {
    remarks = 0;
    int64_t maxTime = in.maxTime;
    int64_t clock = in.clockRemaining;
    int64_t s = in.score;
    int64_t p = in.previousScore;
    if (in.bestMoveStable) {
        // An unchanged recapture: half the budget suffices unless the score dropped.
        if (in.elapsedSeconds < maxTime / 2)
            return false;
        if (panicTime == 0 && in.havePrevious && s < p - ScoreSwing) {
            int64_t panic = maxTime * 3 / 2;
            remarks |= RemarkTrouble;
            if (maxTime * 2 >= clock) {
                remarks |= RemarkReducedPanic;
                panic = maxTime;
            }
            panicTime = CapPanic(panic, in.clockCap);
        }
        return !(in.elapsedSeconds < panicTime);
    }
    if (in.elapsedSeconds < maxTime)
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
            panicTime = CapPanic(panic, in.clockCap);
        } else if (s > p + ScoreSwing && s != 0 && p < GoodCeiling && p >= GoodFloor) {
            int64_t panic = maxTime * 3;
            remarks |= RemarkLookingGood;
            if (maxTime * 4 >= clock) {
                remarks |= RemarkZeroParanoid;
                panic = maxTime;
            }
            panicTime = CapPanic(panic, in.clockCap);
        }
    }
    return !(in.elapsedSeconds < panicTime);
}

void PrintTimeRemarks(uint32_t remarks) {
    if (remarks & RemarkTrouble)
        Print("tellics whisper I smell trouble!\n");
    if (remarks & RemarkReducedPanic)
        Print("tellics Low on time, reduced panic time.\n");
    if (remarks & RemarkLookingGood)
        Print("tellics whisper Looking good...\n");
    if (remarks & RemarkZeroParanoid)
        Print("tellics Low on time, zero paranoid time.\n");
}
