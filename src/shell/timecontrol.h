// Time controls: the move time budget worked out from the clock and the time controls,
// and the limit test that the search's time check applies. Every time here is a count of
// milliseconds on the steady clock that times searches.
#pragma once

#include <atomic>
#include <cstdint>

struct Engine;

// One period of the console tournament mode: so many moves in so many minutes.
struct TournamentPeriod {
    int32_t moves;    // moves of the period
    int32_t minutes;  // minutes for them
};

constexpr int TournamentPeriods = 3;

// Margin kept back from every budget worked out from a clock, for the interface's latency.
constexpr int64_t DefaultMoveOverheadMs = 30;
constexpr int64_t MaxMoveOverheadMs = 5000;

// The game's time controls and the clock as the interface last reported it.
struct TimeControl {
    int32_t movesPerSession = 0;   // xboard "level" moves per period, 0 for the whole game
    int64_t baseMs = 0;            // xboard "level" time per period
    int64_t fixedMoveMs = 0;       // xboard "st" time per move, 0 when the clock decides
    int64_t incrementMs = 0;       // xboard "level" increment per move; reset by a new game
    int64_t moveOverheadMs = DefaultMoveOverheadMs;  // UCI "Move Overhead"
    int64_t totalThinkingMs = 0;          // own thinking time used in the game
    int32_t restoreDefaultsAtNewGame = 0; // set by "sd": the next new game restores depth and time
    int32_t tournamentMode = 0;           // console tournament mode on or off (shown only)
    TournamentPeriod periods[TournamentPeriods] = {};  // console tournament periods (shown only)
    int32_t autoSyncMoves = 0;            // console auto-sync interval (shown only)
};

// A "level" BASE: minutes, or minutes and seconds joined by ":"; 0 without digits.
int64_t LevelBaseMs(const char* text);

// A "level" INC: seconds with an optional fraction ("2", "0.1", "2.5"); 0 without digits.
int64_t LevelIncrementMs(const char* text);

// Budget of a "level" command: per-period share, or a thirtieth of the game, plus increment.
int64_t LevelBudget(int32_t movesPerSession, int64_t baseMs, int64_t incrementMs);

// Budget from the engine's clock: remainingMs on the clock, movesPerSession (0 for the
// whole game), the game's baseMs and increment, plyNumber of the move to play,
// totalThinkingMs used so far; nextRandom(e) varies the first moves of a game.
// The result is capped at ClockCap(remainingMs); the move overhead is not yet taken off.
int64_t ClockBudget(int64_t remainingMs, int32_t movesPerSession, int64_t baseMs,
                    int64_t incrementMs, int32_t plyNumber, int64_t totalThinkingMs,
                    uint32_t (*nextRandom)(Engine& e), Engine& e);

// Budget from UCI clock values: movesToGo 0 means the rest of the game. The result is
// capped at ClockCap(remainingMs); the move overhead is not yet taken off.
int64_t UciClockBudget(int64_t remainingMs, int64_t incrementMs, int32_t movesToGo);

// Longest a search may run on a clock of remainingMs: the clock less a margin of a tenth
// of it, at least one second; never below 0.
int64_t ClockCap(int64_t remainingMs);

// A budget less the move overhead, never below 0.
int64_t LessOverhead(int64_t budgetMs, int64_t overheadMs);

// Budget of a fixed time a move (xboard "st"): the interface calls the flag the instant
// that time runs out, so a tenth of it is kept back, at least the move overhead.
int64_t FixedMoveBudget(int64_t fixedMs, int64_t overheadMs);

// Budget of a UCI "movetime": the move overhead is kept back, but at most a tenth of the
// time (at least 5 ms). The move leaves within 2-3 ms of the search's end, and a short
// fixed time would otherwise lose a third of itself (30 ms of 100) to the margin.
int64_t MoveTimeBudget(int64_t moveTimeMs, int64_t overheadMs);

