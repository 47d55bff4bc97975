// The time commands: the limits every search runs under are set here, worked out from
// the clock under xboard and given directly at the console.
#include "shell/timecommands.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "book/random.h"
#include "engine.h"
#include "shell/inputring.h"
#include "shell/output.h"
#include "shell/playgame.h"
#include "shell/timecontrol.h"

static constexpr int CentisecondsPerSecond = 100;
static constexpr int SdMaxTime = 1000;     // "sd" lets depth alone decide
static constexpr int DefaultDepth = 30;

// Names of the three tournament periods in the console dialog.
static const char* const periodNames[TournamentPeriods] = {"FIRST", "SECOND", "THIRD"};

// Records a budget that was not worked out from a clock.
static void SetFixedBudget(Engine& e, int32_t seconds) {
    e.search.maxTime = seconds;
    e.shell.time.budgetFromClock.store(0, std::memory_order_relaxed);
}

bool CommandSync(Engine& e) {
    TimeControl& t = e.shell.time;
    // Each block up to a question is one message: a search may be printing meanwhile.
    Print("Total thinking time used so far: %d min, %d sec\nChange settings (Y/N)? ",
          t.totalThinkingSeconds / 60, t.totalThinkingSeconds % 60);
    if (TakeYes()) {
        Print("Enter number of minutes used on clock: ");
        int64_t seconds = int64_t(TakeInt()) * 60;
        t.totalThinkingSeconds = int32_t(std::clamp<int64_t>(seconds, INT32_MIN, INT32_MAX));
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
    char base[SlotSize];
    TakeToken(base);
    t.baseSeconds = LevelBaseSeconds(base);
    t.incrementSeconds = TakeInt();
    t.fixedMoveSeconds = 0;
    SetFixedBudget(e, LevelBudget(t.movesPerSession, t.baseSeconds, t.incrementSeconds));
    return true;
}

// Console "time": shows and edits the time and node limits.
static void TimeDialog(Engine& e) {
    // One message up to the question: a search may be printing meanwhile.
    Print("Time Settings\n-------------\nMaximum move time: %d\n"
          "Maximum move nodes (zero means no maximum): %lld\n\nchange max time (Y/N) ?:\n",
          int(e.search.maxTime.load()), (long long)e.search.maxNodes.load());
    if (TakeYes()) {
        Print("Enter max. move time:\n");
        SetFixedBudget(e, TakeInt());
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
    int32_t remaining = TakeInt() / CentisecondsPerSecond;
    t.clockRemaining.store(remaining, std::memory_order_relaxed);
    if (t.fixedMoveSeconds > 0) {
        // "st" fixed the time per move: the clock only keeps it from running out.
        e.search.maxTime = std::min(t.fixedMoveSeconds, ClockCap(remaining));
        t.budgetFromClock.store(1, std::memory_order_relaxed);
        return true;
    }
    e.search.maxTime = ClockBudget(remaining, t.movesPerSession, t.baseSeconds,
                                   t.incrementSeconds, e.shell.plyNumber,
                                   t.totalThinkingSeconds, NextRandom, e);
    t.budgetFromClock.store(1, std::memory_order_relaxed);
    return true;
}

bool CommandSd(Engine& e) {
    StopSearchForCommand(e);  // a running search owns the depth word
    e.search.searchDepth = std::clamp(TakeInt(), 1, MaxDepthSetting);
    SetFixedBudget(e, SdMaxTime);
    e.shell.time.restoreDefaultsAtNewGame = 1;
    return true;
}

bool CommandSt(Engine& e) {
    StopSearchForCommand(e);  // a running search owns the depth word
    int32_t seconds = TakeInt();
    SetFixedBudget(e, seconds);
    e.shell.time.fixedMoveSeconds = std::max(seconds, 0);
    e.search.searchDepth = DefaultDepth;
    return true;
}

bool CommandOtim(Engine& e) {
    (void)e;
    TakeInt();
    return true;
}
