// The time commands: the limits every search runs under are set here, worked out from
// the clock under xboard and given directly at the console.
#include "shell/timecommands.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "book/random.h"
#include "engine.h"
#include "output.h"
#include "search/searchclock.h"
#include "shell/inputring.h"
#include "shell/playgame.h"
#include "shell/timecontrol.h"

static constexpr int64_t SdMaxTimeMs = 1000000;  // "sd" lets depth alone decide
static constexpr int DefaultDepth = 30;

// Names of the three tournament periods in the console dialog.
static const char* const periodNames[TournamentPeriods] = {"FIRST", "SECOND", "THIRD"};

// Records a budget that was not worked out from a clock: panic time is not capped.
static void SetFixedBudget(Engine& e, int64_t ms) {
    e.search.maxTime = ms;
    e.search.panicCeiling.store(-1, std::memory_order_relaxed);
}

// Records a budget worked out from a clock, less the move overhead; no panic time may
// run past ceilingMs (less the overhead too).
static void SetClockBudget(Engine& e, int64_t budgetMs, int64_t ceilingMs) {
    int64_t overhead = e.shell.time.moveOverheadMs;
    e.search.maxTime = LessOverhead(budgetMs, overhead);
    e.search.panicCeiling.store(LessOverhead(ceilingMs, overhead), std::memory_order_relaxed);
}

// Records the budget of a fixed time a move, which is also the ceiling of any panic time.
static void SetFixedMoveBudget(Engine& e, int64_t fixedMs) {
    int64_t budget = FixedMoveBudget(fixedMs, e.shell.time.moveOverheadMs);
    e.search.maxTime = budget;
    e.search.panicCeiling.store(budget, std::memory_order_relaxed);
}

bool CommandSync(Engine& e) {
    TimeControl& t = e.shell.time;
    // Each block up to a question is one message: a search may be printing meanwhile.
    int64_t seconds = t.totalThinkingMs / MillisecondsPerSecond;
    Print("Total thinking time used so far: %d min, %d sec\nChange settings (Y/N)? ",
          int(seconds / 60), int(seconds % 60));
    if (TakeYes()) {
        Print("Enter number of minutes used on clock: ");
        t.totalThinkingMs = int64_t(TakeInt()) * 60 * MillisecondsPerSecond;
    }
    return true;
}

// Console "level": shows and edits the tournament-mode settings.
static void TournamentDialog(Engine& e) {
    TimeControl& t = e.shell.time;
    // The settings and the question are one message: a search may be printing meanwhile.
    static constexpr int SettingsSize = 512;  // five lines of words and 32-bit numbers
    char settings[SettingsSize] = "Tournament Mode Off\n";
    if (t.tournamentMode) {
        int used = std::snprintf(settings, sizeof settings, "Tournament Mode On\n");
        for (int i = 0; i < TournamentPeriods; i++)
            used += std::snprintf(settings + used, sizeof settings - size_t(used),
                                  "Time control %d: %d moves in %d minutes\n", i + 1,
                                  t.periods[i].moves, t.periods[i].minutes);
        std::snprintf(settings + used, sizeof settings - size_t(used),
                      "Auto sync. every %d moves\n\n", t.autoSyncMoves);
    }
    Print("%sChange settings (Y/N)? ", settings);
    if (!TakeYes())
        return;
    Print("Use tournament mode (Y/N)? ");
    if (!TakeYes()) {
        t.tournamentMode = 0;
        return;
    }
    t.tournamentMode = 1;
    for (int i = 0; i < TournamentPeriods; i++) {
        Print("\nNumber of moves for %s time control ? ", periodNames[i]);
        t.periods[i].moves = TakeInt();
        Print("Number of minutes for %s time control ? ", periodNames[i]);
        t.periods[i].minutes = TakeInt();
    }
    Print("\nAuto sync every how many moves (0 for never) ? ");
    t.autoSyncMoves = TakeInt();
}

bool CommandLevel(Engine& e) {
    if (!e.shell.xboardMode) {
        TournamentDialog(e);
        return true;
    }
    TimeControl& t = e.shell.time;
    t.movesPerSession = std::max(TakeInt(), 0);
    char text[SlotSize];
    TakeToken(text);
    t.baseMs = LevelBaseMs(text);
    TakeToken(text);
    t.incrementMs = LevelIncrementMs(text);
    t.fixedMoveMs = 0;
    // The clock itself arrives with "time"; until then the budget is the level's share.
    SetFixedBudget(e, LessOverhead(LevelBudget(t.movesPerSession, t.baseMs, t.incrementMs),
                                   t.moveOverheadMs));
    return true;
}

// Console "time": shows and edits the time and node limits.
static void TimeDialog(Engine& e) {
    // One message up to the question: a search may be printing meanwhile.
    Print("Time Settings\n-------------\nMaximum move time: %d\n"
          "Maximum move nodes (zero means no maximum): %lld\n\nchange max time (Y/N) ?:\n",
          WholeSeconds(e.search.maxTime.load()), (long long)e.search.maxNodes.load());
    if (TakeYes()) {
        Print("Enter max. move time:\n");
        SetFixedBudget(e, int64_t(TakeInt()) * MillisecondsPerSecond);
    }
    Print("\nchange max nodes (Y/N) ?:\n");
    if (TakeYes()) {
        Print("Enter max. move nodes:\n");
        e.search.maxNodes = TakeInt();
    }
}

bool CommandTime(Engine& e) {
    if (!e.shell.xboardMode) {
        TimeDialog(e);
        return true;
    }
    TimeControl& t = e.shell.time;
    int64_t remaining = int64_t(TakeInt()) * MillisecondsPerCentisecond;
    e.search.clockRemaining.store(remaining, std::memory_order_relaxed);
    if (t.fixedMoveMs > 0) {
        // "st" fixed the time per move, which the interface's clock shows afresh for each
        // move: never longer, and never past the clock.
        SetFixedMoveBudget(e, std::min(t.fixedMoveMs, std::max<int64_t>(remaining, 0)));
        return true;
    }
    int64_t budget = ClockBudget(remaining, t.movesPerSession, t.baseMs, t.incrementMs,
                                 e.shell.plyNumber, t.totalThinkingMs, NextRandom, e);
    SetClockBudget(e, budget, ClockCap(remaining));
    return true;
}

bool CommandSd(Engine& e) {
    StopSearchForCommand(e);  // a running search owns the depth word
    e.search.searchDepth = std::clamp(TakeInt(), 1, MaxDepthSetting);
    SetFixedBudget(e, SdMaxTimeMs);
    e.shell.time.restoreDefaultsAtNewGame = 1;
    return true;
}

bool CommandSt(Engine& e) {
    StopSearchForCommand(e);  // a running search owns the depth word
    int64_t ms = int64_t(TakeInt()) * MillisecondsPerSecond;
    TimeControl& t = e.shell.time;
    t.fixedMoveMs = std::max<int64_t>(ms, 0);
    // Without a clock yet the fixed time itself is the ceiling.
    SetFixedMoveBudget(e, t.fixedMoveMs);
    e.search.searchDepth = DefaultDepth;
    return true;
}

bool CommandOtim(Engine& e) {
    (void)e;
    TakeInt();
    return true;
}
