// The time check the search makes every 2048 nodes: what it reads from the Engine, when it
// ends the search, and the remarks it prints.
#include <gtest/gtest.h>

#include <cstdio>

#include "board/gameline.h"
#include "notation/movetext.h"
#include "search/searchclock.h"
#include "search/timecheck.h"
#include "shell/thinking.h"
#include "support.h"

// An Engine as a search leaves it running: searched for a while, with a node count.
static std::unique_ptr<Engine> RunningSearch(SearchState state, int elapsedMs) {
    auto e = NewTestEngine();
    e->search.searchState = state;
    e->search.searchStartTime = NowMilliseconds() - elapsedMs;
    e->search.nextInfoSecond = 1000;  // no UCI progress line in these tests
    e->pos.nodeCount = 5000;
    e->search.nextPollAt = 4096;
    return e;
}

// Runs the check and returns what it printed.
static std::string Check(Engine& e) {
    testing::internal::CaptureStdout();
    TimeCheck(e);
    return testing::internal::GetCapturedStdout();
}

TEST(TimeCheck, StopRequestEndsEverySearch) {
    auto e = RunningSearch(StopRequested, 0);
    EXPECT_EQ(Check(*e), "");
    EXPECT_EQ(e->search.abortSearch, 1);
    EXPECT_EQ(e->search.nextPollAt, 4096 + PollInterval);
}

TEST(TimeCheck, NoLimitWhilePonderingOrAnalysing) {
    for (SearchState state : {Pondering, Analyzing, Thinking}) {
        auto e = RunningSearch(state, 60000);
        e->search.maxNodes = 100;
        e->search.maxTime = 1000;
        Check(*e);
        EXPECT_EQ(e->search.abortSearch, state == Thinking ? 1 : 0) << state;
    }
}

// An Engine after 1. e4 e5, thinking for White, whose previous search (two plies down)
// scored 0 and whose running search scores -600: a drop that asks for panic time.
static std::unique_ptr<Engine> ScoreDrop(int64_t maxTime, int elapsedMs) {
    auto e = RunningSearch(Thinking, elapsedMs);
    Position& p = e->pos;
    p.plyStack[0].bestScore = 0;
    e->search.rootScoreKey[0] = p.plyStack[0].hashKey;
    GameMakeMove(e->pos, ParseMove(*e, "e4"));
    GameMakeMove(e->pos, ParseMove(*e, "e5"));
    EXPECT_EQ(CheckPosition(e->pos), "");
    p.rootPly->bestScore = -600;
    e->search.maxTime = maxTime;
    e->search.clockRemaining = 1000000;
    return e;
}

TEST(TimeCheck, ScoreDropGrantsPanicTimeAndWhispers) {
    auto e = ScoreDrop(10000, 10500);
    EXPECT_EQ(Check(*e), "tellics whisper I smell trouble!\n");
    EXPECT_EQ(e->search.panicTime, 30000);
    EXPECT_EQ(e->search.abortSearch, 0);
    // Under UCI the same check is silent.
    e = ScoreDrop(10000, 10500);
    e->search.report = UciReport;
    EXPECT_EQ(Check(*e), "");
    EXPECT_EQ(e->search.panicTime, 30000);
}

TEST(TimeCheck, ShortClockReducesThePanicTime) {
    // 4 x 10 s reaches a clock of 25 s: half as long again instead of three times.
    auto e = ScoreDrop(10000, 10500);
    e->search.clockRemaining = 25000;
    e->search.panicCeiling = 22500;
    EXPECT_EQ(Check(*e),
              "tellics whisper I smell trouble!\ntellics Low on time, reduced panic time.\n");
    EXPECT_EQ(e->search.panicTime, 15000);
    EXPECT_EQ(e->search.abortSearch, 0);
    // 2 x 10 s reaches a clock of 20 s: no extension at all.
    e = ScoreDrop(10000, 10500);
    e->search.clockRemaining = 20000;
    Check(*e);
    EXPECT_EQ(e->search.panicTime, 10000);
    EXPECT_EQ(e->search.abortSearch, 1);
}

TEST(TimeCheck, NoPreviousSearchNoPanic) {
    auto e = RunningSearch(Thinking, 10500);
    e->pos.rootPly->bestScore = -600;
    e->search.maxTime = 10000;
    EXPECT_EQ(Check(*e), "");
    EXPECT_EQ(e->search.panicTime, 0);
    EXPECT_EQ(e->search.abortSearch, 1);
}

TEST(TimeCheck, UciProgressLineCountsMilliseconds) {
    auto e = RunningSearch(Analyzing, 2500);
    e->search.report = UciReport;
    e->search.nextInfoSecond = 2;
    // 5000 nodes in 2500 ms, or a few more by the time the check reads the clock; whole
    // seconds would make it 2500 nodes a second.
    std::string line = Check(*e);
    int nps = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "info nodes 5000 nps %d\n", &nps), 1) << line;
    EXPECT_LE(nps, 2000);
    EXPECT_GE(nps, 1000);
    EXPECT_EQ(e->search.nextInfoSecond, 5);
}

TEST(TimeCheck, BudgetsAreMilliseconds) {
    // A budget of 970 ms: not yet reached at 400 ms (with room for a slow machine between
    // setting the clock and the check), reached at 980 ms.
    auto e = RunningSearch(Thinking, 400);
    e->search.maxTime = 970;
    Check(*e);
    EXPECT_EQ(e->search.abortSearch, 0);
    e = RunningSearch(Thinking, 980);
    e->search.maxTime = 970;
    Check(*e);
    EXPECT_EQ(e->search.abortSearch, 1);
}
