// Move time budgets from the time controls and the clock, and the search's time limit
// with its panic and paranoid extensions, all in milliseconds.
#include "shell/timecontrol.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "engine.h"
#include "search/searchclock.h"

// Tunables of the budget and the limit test.
static constexpr int64_t ClockReserveMs = 3000;    // kept back from a period's time
static constexpr int64_t GameShareDivisor = 30;    // a whole game is spread over 30 moves
static constexpr int64_t GameShareBonusMs = 15000; // added to the clock before that division
static constexpr int64_t ShortClockMs = 15000;     // below this, no bonus: play on the increment
static constexpr int64_t SuddenDeathDivisor = 60;  // ... or, without one, on a sixtieth
static constexpr int64_t IncrementReserveMs = 1000;  // kept back from the increment then
static constexpr int64_t EarlyGameMs = 2000;       // thinking time up to which moves vary
static constexpr int64_t CapMinimumMarginMs = 1000;  // kept on the clock at least
static constexpr int64_t CapMarginDivisor = 10;    // ... or this fraction of the clock
static constexpr int64_t FixedMoveReserveDivisor = 10;  // kept back from a fixed move time
static constexpr int64_t MinMoveTimeReserveMs = 5;      // the least a movetime keeps back
static constexpr int64_t SecondsPerMinute = 60;

// Reads leading decimal digits at text, advancing it; saturates instead of overflowing.
static int64_t ReadDigits(const char*& text) {
    int64_t v = 0;
    while (std::isdigit(static_cast<unsigned char>(*text))) {
        v = std::min<int64_t>(v * 10 + (*text - '0'), INT32_MAX);
        text++;
    }
    return v;
}

int64_t LevelBaseMs(const char* text) {
    int64_t minutes = ReadDigits(text);
    int64_t seconds = 0;
    if (*text == ':') {
        text++;
        seconds = ReadDigits(text);
    }
    return (minutes * SecondsPerMinute + seconds) * MillisecondsPerSecond;
}

int64_t LevelIncrementMs(const char* text) {
    int64_t ms = ReadDigits(text) * MillisecondsPerSecond;
    if (*text == '.') {
        text++;
        // Up to three decimals count; further ones are below a millisecond.
        for (int64_t unit = MillisecondsPerSecond / 10; unit > 0 && std::isdigit(static_cast<unsigned char>(*text));
             unit /= 10, text++)
            ms += (*text - '0') * unit;
    }
    return ms;
}

// Share of a whole game's clock for one move: a thirtieth of the clock (with a bonus)
// plus the increment. On a short clock, the increment less a second, but never less than
// half the increment nor a thirtieth of the clock itself, so that a sub-second increment
// neither leaves the move no time nor leaves the clock unused. A short clock without an
// increment must last a game of unknown length, less what the interface takes of each
// move (xboard, a tenth of a second): a sixtieth of it, and no bonus.
static int64_t GameShare(int64_t remaining, int64_t increment) {
    if (remaining < ShortClockMs) {
        if (increment == 0)
            return remaining / SuddenDeathDivisor;
        return std::max({increment - IncrementReserveMs, increment / 2,
                         remaining / GameShareDivisor});
    }
    return (remaining + GameShareBonusMs) / GameShareDivisor + increment;
}

// Share of a period's clock for one of toGo moves, plus the increment.
static int64_t PeriodShare(int64_t remaining, int64_t toGo, int64_t increment) {
    return (remaining - ClockReserveMs) / toGo + increment;
}

int64_t LevelBudget(int32_t movesPerSession, int64_t baseMs, int64_t incrementMs) {
    int64_t moves = std::max(movesPerSession, 0);
    baseMs = ClampMs(baseMs);
    incrementMs = ClampMs(incrementMs);
    if (moves != 0)
        return PeriodShare(baseMs, moves, incrementMs);
    return (baseMs + GameShareBonusMs) / GameShareDivisor + incrementMs;
}

int64_t ClockCap(int64_t remainingMs) {
    remainingMs = ClampMs(remainingMs);
    int64_t margin = std::max(CapMinimumMarginMs, remainingMs / CapMarginDivisor);
    return std::max<int64_t>(0, remainingMs - margin);
}

int64_t LessOverhead(int64_t budgetMs, int64_t overheadMs) {
    return std::max<int64_t>(0, budgetMs - std::max<int64_t>(overheadMs, 0));
}

int64_t FixedMoveBudget(int64_t fixedMs, int64_t overheadMs) {
    fixedMs = ClampMs(fixedMs);
    return LessOverhead(fixedMs, std::max(overheadMs, fixedMs / FixedMoveReserveDivisor));
}

int64_t MoveTimeBudget(int64_t moveTimeMs, int64_t overheadMs) {
    moveTimeMs = ClampMs(moveTimeMs);
    int64_t reserve = std::max(moveTimeMs / FixedMoveReserveDivisor, MinMoveTimeReserveMs);
    return LessOverhead(moveTimeMs, std::min(overheadMs, reserve));
}

int64_t ClockBudget(int64_t remainingMs, int32_t movesPerSession, int64_t baseMs,
                    int64_t incrementMs, int32_t plyNumber, int64_t totalThinkingMs,
                    uint32_t (*nextRandom)(Engine& e), Engine& e) {
    int64_t moves = std::max(movesPerSession, 0);
    int64_t remaining = ClampMs(remainingMs);
    int64_t increment = ClampMs(incrementMs);
    int64_t budget;
    if (moves == 0) {
        budget = GameShare(remaining, increment);
    } else {
        // Moves to go in this period: M - plyNumber / 2, raised by M until positive.
        int64_t played = std::max(plyNumber, 0) / 2 % moves;
        int64_t toGo = played ? moves - played : moves;
        if (toGo == moves && plyNumber > 1 && remaining < baseMs)
            remaining += ClampMs(baseMs);  // the clock has not yet been credited with the period
        budget = PeriodShare(remaining, toGo, increment);
    }
    // The first moves of a game vary: up to half as long again, by chance.
    if (totalThinkingMs <= EarlyGameMs && moves != 1) {
        int64_t half = budget / 2;
        if (half > 0)
            budget += half + int64_t(nextRandom(e) % uint32_t(std::min<int64_t>(half, UINT32_MAX)));
    }
    return std::min(budget, ClockCap(remainingMs));
}

int64_t UciClockBudget(int64_t remainingMs, int64_t incrementMs, int32_t movesToGo) {
    int64_t remaining = ClampMs(remainingMs);
    int64_t increment = ClampMs(incrementMs);
    int64_t budget = movesToGo > 0 ? PeriodShare(remaining, movesToGo, increment)
                                   : GameShare(remaining, increment);
    return std::min(budget, ClockCap(remainingMs));
}

