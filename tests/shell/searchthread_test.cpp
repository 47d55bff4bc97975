// The handshake between the main thread and the search thread through searchState,
// driven with a stand-in search whose length the test controls.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine.h"
#include "shell/mainwake.h"
#include "shell/searchthread.h"

// How the stand-in search behaves.
enum FakeMode { ReturnAtOnce, RunUntilStopped };

static std::atomic<int> fakeMode{ReturnAtOnce};
static std::atomic<int> fakeSearches{0};     // searches started
static std::atomic<Move> fakeAnswer{0};      // move the stand-in returns

// Stand-in for IterativeDeepening: returns at once, or polls for a stop request as the
// time check does and returns when it sees one.
static Move FakeSearch(Engine& e) {
    fakeSearches++;
    if (fakeMode == RunUntilStopped)
        while (GetSearchState(e) != StopRequested)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return fakeAnswer;
}

// One Engine and one search thread for all tests here; both live until the process ends,
// as in the program.
static Engine& SharedEngine() {
    static Engine* engine = [] {
        Engine* e = CreateEngine(1).release();
        StartSearchThread(*e, FakeSearch);
        return e;
    }();
    return *engine;
}

// Waits until the state becomes s; fails the test after a generous time.
static bool WaitForState(const Engine& e, SearchState s) {
    for (int i = 0; i < 10000; i++) {
        if (GetSearchState(e) == s)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Waits until the stand-in has started n searches in all.
static bool WaitForSearches(int n) {
    for (int i = 0; i < 10000; i++) {
        if (fakeSearches >= n)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

TEST(SearchThread, ThinkingReportsDoneWithItsMove) {
    Engine& e = SharedEngine();
    StopSearch(e);
    EXPECT_EQ(GetSearchState(e), Idle);  // returns at once when idle
    fakeMode = ReturnAtOnce;
    fakeAnswer = MakeMoveValue(SqE1, SqG1);
    e.shell.bestMove = MakeMoveValue(SqA1, SqA8);
    RequestSearch(e, Thinking);
    // An earlier search's move is never reported: right after the request the word holds
    // no move, or already this search's move when the stand-in was quicker than this check.
    Move seen = e.shell.bestMove.load(std::memory_order_acquire);
    EXPECT_TRUE(seen == 0 || seen == MakeMoveValue(SqE1, SqG1)) << seen;
    ASSERT_TRUE(WaitForState(e, Done));
    EXPECT_TRUE(SearchFinished(e));
    EXPECT_EQ(e.shell.bestMove.load(std::memory_order_acquire), MakeMoveValue(SqE1, SqG1));
    // Stopping a finished search drops its result.
    StopSearch(e);
    EXPECT_EQ(GetSearchState(e), Idle);
    EXPECT_FALSE(SearchFinished(e));
}

TEST(SearchThread, StopEndsARunningSearch) {
    Engine& e = SharedEngine();
    fakeMode = RunUntilStopped;
    int before = fakeSearches;
    RequestSearch(e, Thinking);
    ASSERT_TRUE(WaitForSearches(before + 1));
    EXPECT_EQ(GetSearchState(e), Thinking);
    StopSearch(e);
    EXPECT_EQ(GetSearchState(e), Idle);
    fakeMode = ReturnAtOnce;
}

TEST(SearchThread, StopRequestWithoutSearchBecomesIdle) {
    Engine& e = SharedEngine();
    int before = fakeSearches;
    SetSearchState(e, StopRequested);
    ASSERT_TRUE(WaitForState(e, Idle));
    EXPECT_EQ(fakeSearches, before);
}

TEST(SearchThread, PonderSearchThatEndsEarlyWaitsForThePonderHit) {
    Engine& e = SharedEngine();
    fakeMode = ReturnAtOnce;
    fakeAnswer = MakeMoveValue(SqB1, SqC1);
    int before = fakeSearches;
    RequestSearch(e, Pondering);
    ASSERT_TRUE(WaitForSearches(before + 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(GetSearchState(e), Pondering);  // finished, but still pondering
    SetSearchState(e, Thinking);              // ponder hit
    ASSERT_TRUE(WaitForState(e, Done));
    EXPECT_EQ(e.shell.bestMove.load(std::memory_order_acquire), MakeMoveValue(SqB1, SqC1));
    EXPECT_EQ(fakeSearches, before + 1);  // the same search, not a new one
    StopSearch(e);
}

TEST(SearchThread, PonderHitDuringTheSearchContinuesIt) {
    Engine& e = SharedEngine();
    fakeMode = RunUntilStopped;
    int before = fakeSearches;
    RequestSearch(e, Pondering);
    ASSERT_TRUE(WaitForSearches(before + 1));
    SetSearchState(e, Thinking);  // ponder hit while the search runs
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(GetSearchState(e), Thinking);
    // "?": the search is asked to stop and reports Done with its move.
    SetSearchState(e, StopRequested);
    WaitWhileState(e, StopRequested);
    EXPECT_EQ(GetSearchState(e), Done);
    EXPECT_EQ(fakeSearches, before + 1);
    StopSearch(e);
    fakeMode = ReturnAtOnce;
}

TEST(SearchThread, AnalysisWaitsForTheStop) {
    Engine& e = SharedEngine();
    fakeMode = ReturnAtOnce;
    int before = fakeSearches;
    RequestSearch(e, Analyzing);
    ASSERT_TRUE(WaitForSearches(before + 1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(GetSearchState(e), Analyzing);
    EXPECT_EQ(fakeSearches, before + 1);  // one search, then waiting
    StopSearch(e);
    EXPECT_EQ(GetSearchState(e), Idle);
}

TEST(SearchThread, ManyRequestsAndStopsInARow) {
    Engine& e = SharedEngine();
    fakeMode = RunUntilStopped;
    for (int i = 0; i < 200; i++) {
        RequestSearch(e, i % 3 == 0 ? Thinking : i % 3 == 1 ? Pondering : Analyzing);
        if (i % 2)
            std::this_thread::yield();
        StopSearch(e);
        ASSERT_EQ(GetSearchState(e), Idle);
    }
    fakeMode = ReturnAtOnce;
}

// The main thread's pause ends on a wake: one given while it sleeps (from the search
// thread, by a finished search) and one given before it began. Were a wake lost, the
// hour-long pause would hold the test until CTest's timeout ends it.
TEST(SearchThread, MainThreadPauseEndsOnAWake) {
    constexpr int Hour = 3600 * 1000;
    WakeMainThread();
    MainThreadPause(Hour);  // the wake came first: returns at once

    Engine& e = SharedEngine();
    fakeMode = ReturnAtOnce;
    std::thread asker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        RequestSearch(e, Thinking);
    });
    while (!SearchFinished(e))
        MainThreadPause(Hour);  // the search thread's Done wakes it
    asker.join();
    StopSearch(e);
    EXPECT_EQ(GetSearchState(e), Idle);
}
