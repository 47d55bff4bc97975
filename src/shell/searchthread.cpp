// The search thread: a loop over searchState, the only word it shares with the main
// thread besides bestMove. An idle search thread sleeps on that word and wakes the moment
// a search is asked for, so that none of a move's time goes in waking it; the other waits
// here are short polls.
#include "shell/searchthread.h"

#include <chrono>
#include <functional>
#include <thread>

#include "engine.h"
#include "search/searchclock.h"
#include "shell/mainwake.h"
#include "shell/timecontrol.h"

static constexpr int PollSleepMs = 5;       // longest sleep of a polling loop
static constexpr int ClockPollSleepMs = 1;  // sleep while a move is due on the clock
static constexpr int YieldsBeforeSleep = 20;

void ShortPause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(PollSleepMs));
}

void MainLoopPause(const Engine& e) {
    MainThreadPause(GetSearchState(e) == Thinking ? ClockPollSleepMs : PollSleepMs);
}

SearchState GetSearchState(const Engine& e) {
    return SearchState(e.search.searchState.load(std::memory_order_acquire));
}

void SetSearchState(Engine& e, SearchState s) {
    e.search.searchState.store(s, std::memory_order_release);
    e.search.searchState.notify_all();
    WakeMainThread();
}

void WaitWhileState(const Engine& e, SearchState s) {
    for (int spins = 0; GetSearchState(e) == s; spins++) {
        if (spins < YieldsBeforeSleep)
            std::this_thread::yield();
        else
            ShortPause();
    }
}

void RequestSearch(Engine& e, SearchState s) {
    // The search writes its moves into the records above the root: a taken-back line
    // there cannot be replayed any more.
    e.pos.lastGamePly = e.pos.currentPly;
    e.shell.bestMove.store(0, std::memory_order_relaxed);
    e.search.requestStartMs.store(NowMilliseconds(), std::memory_order_relaxed);
    SetSearchState(e, s);
}

bool SearchFinished(const Engine& e) {
    return GetSearchState(e) == Done;
}

void StopSearch(Engine& e) {
    SearchState s = GetSearchState(e);
    if (s == Idle)
        return;
    if (s != Done) {
        SetSearchState(e, StopRequested);
        for (int spins = 0;; spins++) {
            s = GetSearchState(e);
            if (s == Idle || s == Done)
                break;
            if (spins < YieldsBeforeSleep)
                std::this_thread::yield();
            else
                ShortPause();
        }
    }
    SetSearchState(e, Idle);
}

// Runs one search, timed from its request, and publishes its move before the state says
// it is there.
static void RunAndStore(Engine& e, SearchFunction search) {
    e.search.timedFromRequest.store(1, std::memory_order_relaxed);
    Move m = search(e);
    e.search.searchElapsedMs = SearchElapsedMs(e);
    e.search.timedFromRequest.store(0, std::memory_order_relaxed);
    e.shell.bestMove.store(m, std::memory_order_release);
}

void SearchThreadMain(Engine& e, SearchFunction search) {
    for (;;) {
        SearchState s = GetSearchState(e);
        switch (s) {
        case Idle:
        case Done:
            // Sleeps until SetSearchState writes another state.
            e.search.searchState.wait(s, std::memory_order_acquire);
            break;
        case StopRequested: {
            // A stop with no search running: nothing to report.
            int32_t expected = StopRequested;
            e.search.searchState.compare_exchange_strong(expected, Idle,
                                                         std::memory_order_acq_rel);
            WakeMainThread();
            std::this_thread::yield();
            break;
        }
        case Thinking:
            RunAndStore(e, search);
            SetSearchState(e, Done);
            break;
        case Pondering:
            // A ponder search that ends early waits for the ponder hit or a stop.
            RunAndStore(e, search);
            WaitWhileState(e, Pondering);
            SetSearchState(e, Done);
            break;
        case Analyzing:
            // Analysis waits for a stop; the stop is turned into Idle on the next pass.
            RunAndStore(e, search);
            WaitWhileState(e, Analyzing);
            break;
        default:  // not a state: look again
            break;
        }
    }
}

void StartSearchThread(Engine& e, SearchFunction search) {
    std::thread(SearchThreadMain, std::ref(e), search).detach();
}
