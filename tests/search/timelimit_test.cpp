// The time limit with panic and paranoid time, and the depth a clock budget completes.
#include <gtest/gtest.h>

#include "search/timelimit.h"

// A limit-test input with no clock and a previous score.
// Times are given in seconds and kept in milliseconds.
static TimeLimitInput Input(int64_t elapsed, int64_t maxTime, int score, int previous) {
    TimeLimitInput in{};
    in.elapsedMs = elapsed * 1000;
    in.maxTime = maxTime * 1000;
    in.clockRemaining = 1000000;
    in.panicCeiling = -1;
    in.bestMoveStable = false;
    in.havePrevious = true;
    in.iterationsDone = 10;  // past the clock budget's depth floor
    in.score = score;
    in.previousScore = previous;
    return in;
}

TEST(TimeLimit, PlainBudget) {
    int64_t panic = 0;
    uint32_t remarks = 0;
    EXPECT_FALSE(TimeLimitReached(Input(9, 10, 0, 0), panic, remarks));
    EXPECT_TRUE(TimeLimitReached(Input(10, 10, 0, 0), panic, remarks));
    EXPECT_EQ(panic, 0);
    EXPECT_EQ(remarks, 0u);
    EXPECT_TRUE(TimeLimitReached(Input(0, 0, 0, 0), panic, remarks));   // 0 s: first check
    EXPECT_TRUE(TimeLimitReached(Input(0, -3, 0, 0), panic, remarks));  // negative likewise
}

TEST(TimeLimit, StableBestMoveStopsAtHalfTime) {
    int64_t panic = 0;
    uint32_t remarks = 0;
    TimeLimitInput in = Input(4, 10, 0, 0);
    in.bestMoveStable = true;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    in.elapsedMs = 5000;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    // With a score drop the stable move gets half as long again.
    in.score = -600;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 15000);
    EXPECT_EQ(remarks, uint32_t(RemarkTrouble));
    in.elapsedMs = 15000;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    // Short clock: no extension beyond maxTime.
    panic = 0;
    in.elapsedMs = 5000;
    in.clockRemaining = 20000;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 10000);
    EXPECT_EQ(remarks, uint32_t(RemarkTrouble | RemarkReducedPanic));
}

TEST(TimeLimit, ClockBudgetFinishesSixIterations) {
    int64_t panic = 0;
    uint32_t remarks = 0;
    TimeLimitInput in = Input(0, 0, 0, 0);
    in.maxTime = 140;
    in.elapsedMs = 150;
    in.clockRemaining = 5200;  // a tenth is 520 ms
    in.panicCeiling = 4000;
    in.iterationsDone = 5;  // searching depth 6
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    in.bestMoveStable = true;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    in.elapsedMs = 400;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    in.elapsedMs = 520;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    // Six iterations done, or a budget not from a clock: the budget alone decides.
    in.elapsedMs = 150;
    in.iterationsDone = 6;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    in.iterationsDone = 0;
    in.panicCeiling = -1;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 0);
}

TEST(TimeLimit, PanicTime) {
    int64_t panic = 0;
    uint32_t remarks = 0;
    EXPECT_FALSE(TimeLimitReached(Input(10, 10, -600, 0), panic, remarks));
    EXPECT_EQ(panic, 30000);
    EXPECT_EQ(remarks, uint32_t(RemarkTrouble));
    // Granted once per search: a later check only compares.
    EXPECT_FALSE(TimeLimitReached(Input(29, 10, -6000, 0), panic, remarks));
    EXPECT_EQ(remarks, 0u);
    EXPECT_TRUE(TimeLimitReached(Input(30, 10, -6000, 0), panic, remarks));
    // Exactly 500 worse is no trouble; a lost game (previous below -2999) gets no panic.
    panic = 0;
    EXPECT_TRUE(TimeLimitReached(Input(10, 10, -500, 0), panic, remarks));
    EXPECT_TRUE(TimeLimitReached(Input(10, 10, -4000, -3000), panic, remarks));
    EXPECT_EQ(panic, 0);
    EXPECT_FALSE(TimeLimitReached(Input(10, 10, -4000, -2999), panic, remarks));
    // No previous score, no panic.
    panic = 0;
    TimeLimitInput in = Input(10, 10, -6000, 0);
    in.havePrevious = false;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
}

TEST(TimeLimit, PanicOnAShortClock) {
    int64_t panic = 0;
    uint32_t remarks = 0;
    TimeLimitInput in = Input(10, 10, -600, 0);
    in.clockRemaining = 40000;  // 4 x maxTime reaches the clock: 1.5 x
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 15000);
    EXPECT_EQ(remarks, uint32_t(RemarkTrouble | RemarkReducedPanic));
    panic = 0;
    in.clockRemaining = 20000;  // 2 x maxTime reaches it: 1 x
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 10000);
    // A clock budget caps any panic time: 3 x 10 asked, 12 allowed.
    panic = 0;
    in.clockRemaining = 1000000;
    in.panicCeiling = 12000;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 12000);
    in.elapsedMs = 12000;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
}

TEST(TimeLimit, ParanoidTime) {
    int64_t panic = 0;
    uint32_t remarks = 0;
    EXPECT_FALSE(TimeLimitReached(Input(10, 10, 600, 0), panic, remarks));
    EXPECT_EQ(panic, 30000);
    EXPECT_EQ(remarks, uint32_t(RemarkLookingGood));
    panic = 0;
    TimeLimitInput in = Input(10, 10, 600, 0);
    in.clockRemaining = 40000;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 10000);
    EXPECT_EQ(remarks, uint32_t(RemarkLookingGood | RemarkZeroParanoid));
    // No paranoid time for a score of 0, a previous score already winning or already lost.
    panic = 0;
    EXPECT_TRUE(TimeLimitReached(Input(10, 10, 0, -600), panic, remarks));
    EXPECT_TRUE(TimeLimitReached(Input(10, 10, 3000, 1500), panic, remarks));
    EXPECT_TRUE(TimeLimitReached(Input(10, 10, 0 + 1, -2000), panic, remarks));
    EXPECT_EQ(panic, 0);
    EXPECT_FALSE(TimeLimitReached(Input(10, 10, 1, -1999 + 0), panic, remarks));
}

TEST(TimeLimit, HugeBudgetsDoNotOverflow) {
    int64_t panic = 0;
    uint32_t remarks = 0;
    TimeLimitInput in = Input(1000000000, 1000000000, -600, 0);
    in.clockRemaining = 3 * in.maxTime;  // 4 x maxTime reaches it, 2 x does not: 1.5 x
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, in.maxTime * 3 / 2);
    panic = 0;
    in.maxTime = in.clockRemaining = INT64_MAX;
    in.elapsedMs = INT64_MAX;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    EXPECT_GT(panic, 0);
}
