// Move time budgets and the time limit with panic and paranoid time.
#include <gtest/gtest.h>

#include "shell/timecontrol.h"
#include "support.h"

static uint32_t fakeRandomValue = 0;
static int fakeRandomCalls = 0;

// A random source the tests control.
static uint32_t FakeRandomDraw(Engine&) {
    fakeRandomCalls++;
    return fakeRandomValue;
}

TEST(TimeControl, LevelBudget) {
    EXPECT_EQ(LevelBudget(40, 300, 0), 7);             // (300 - 3) / 40
    EXPECT_EQ(LevelBudget(0, 120, 12), 16);            // (120 + 15) / 30 + 12
    EXPECT_EQ(LevelBudget(-5, 120, 12), 16);           // negative moves count as the whole game
    EXPECT_EQ(LevelBudget(1, 0, 0), -3);               // not corrected: stops at the first check
    EXPECT_EQ(LevelBudget(0, INT32_MAX, INT32_MAX), INT32_MAX);  // saturates, no overflow
}

TEST(TimeControl, LevelBaseText) {
    EXPECT_EQ(LevelBaseSeconds("5"), 300);
    EXPECT_EQ(LevelBaseSeconds("0:30"), 30);
    EXPECT_EQ(LevelBaseSeconds("2:05"), 125);
    EXPECT_EQ(LevelBaseSeconds("x"), 0);
    EXPECT_EQ(LevelBaseSeconds(""), 0);
    EXPECT_GT(LevelBaseSeconds("99999999999999999999"), 0);  // saturates
}

TEST(TimeControl, ClockBudgetWholeGame) {
    auto engine = NewTestEngine();
    fakeRandomCalls = 0;
    // Past the early game (more than 2 s thought), no random extension.
    EXPECT_EQ(ClockBudget(10, 0, 0, 0, 5, 10, FakeRandomDraw, *engine), 0);    // (10 + 15) / 30
    EXPECT_EQ(ClockBudget(10, 0, 0, 2, 5, 10, FakeRandomDraw, *engine), 1);    // short clock: increment - 1
    EXPECT_EQ(ClockBudget(600, 0, 0, 0, 5, 10, FakeRandomDraw, *engine), 20);  // (600 + 15) / 30
    EXPECT_EQ(fakeRandomCalls, 0);
}

TEST(TimeControl, ClockBudgetIsCappedByTheClock) {
    auto engine = NewTestEngine();
    // One minute + 30 s with 10 s left: the rule says 29 s, the clock allows 9.
    EXPECT_EQ(ClockBudget(10, 0, 60, 30, 41, 100, FakeRandomDraw, *engine), 9);
    EXPECT_EQ(UciClockBudget(10, 30, 0), 9);
    EXPECT_EQ(ClockBudget(1, 0, 60, 30, 41, 100, FakeRandomDraw, *engine), 0);
    EXPECT_EQ(ClockBudget(0, 0, 60, 30, 41, 100, FakeRandomDraw, *engine), 0);
    EXPECT_EQ(ClockCap(10), 9);
    EXPECT_EQ(ClockCap(100), 90);
    EXPECT_EQ(ClockCap(1), 0);
    EXPECT_EQ(ClockCap(0), 0);
    EXPECT_EQ(ClockCap(-50), 0);
}

TEST(TimeControl, ClockBudgetPerPeriod) {
    auto engine = NewTestEngine();
    // 40 moves in 5 minutes, 200 s left at ply 21 (move 11): 30 moves to go.
    EXPECT_EQ(ClockBudget(200, 40, 300, 0, 21, 100, FakeRandomDraw, *engine), (200 - 3) / 30);
    // Ply 81 (move 41): 40 to go; the clock shows less than the base, so the base is added.
    EXPECT_EQ(ClockBudget(20, 40, 300, 0, 81, 100, FakeRandomDraw, *engine), (320 - 3) / 40);
    EXPECT_EQ(ClockBudget(400, 40, 300, 0, 81, 100, FakeRandomDraw, *engine), (400 - 3) / 40);
    // At ply 1 the base is never added.
    EXPECT_EQ(ClockBudget(200, 40, 300, 0, 1, 100, FakeRandomDraw, *engine), (200 - 3) / 40);
    // Far into the game the moves to go wrap; a huge ply count does not loop for long.
    EXPECT_EQ(ClockBudget(300, 1, 300, 0, 2000001, 100, FakeRandomDraw, *engine), ClockCap(300));
    EXPECT_EQ(ClockBudget(600, 40, 300, 0, 1000001, 100, FakeRandomDraw, *engine), (600 - 3) / 40);
    // A negative moves-per-session counts as the whole game.
    EXPECT_EQ(ClockBudget(600, -3, 300, 0, 5, 100, FakeRandomDraw, *engine), 20);
}

TEST(TimeControl, EarlyGameRandomExtension) {
    auto engine = NewTestEngine();
    fakeRandomCalls = 0;
    fakeRandomValue = 7;
    // (600 + 15) / 30 = 20; H = 10; 20 + 10 + 7 % 10.
    EXPECT_EQ(ClockBudget(600, 0, 600, 0, 1, 0, FakeRandomDraw, *engine), 37);
    EXPECT_EQ(fakeRandomCalls, 1);
    // Not with one move per period.
    EXPECT_EQ(ClockBudget(600, 1, 600, 0, 1, 0, FakeRandomDraw, *engine), ClockCap(600));
    EXPECT_EQ(fakeRandomCalls, 1);
    // H of 0 or below: no extension and no draw (a negative H would read as hours).
    EXPECT_EQ(ClockBudget(600, 0, 600, 1, 1, 2, FakeRandomDraw, *engine), 21 + 10 + 7);
    EXPECT_EQ(fakeRandomCalls, 2);
    EXPECT_EQ(ClockBudget(10, 0, 60, 0, 1, 0, FakeRandomDraw, *engine), 0);
    EXPECT_EQ(ClockBudget(0, 0, 0, -10, 1, 0, FakeRandomDraw, *engine), -11);
    EXPECT_EQ(fakeRandomCalls, 2);
    // The extension is capped by the clock as well.
    fakeRandomValue = 0xFFFFFFFF;
    EXPECT_LE(ClockBudget(40, 0, 60, 30, 1, 0, FakeRandomDraw, *engine), ClockCap(40));
}

TEST(TimeControl, UciClockBudget) {
    EXPECT_EQ(UciClockBudget(60, 0, 0), 2);     // (60 + 15) / 30
    EXPECT_EQ(UciClockBudget(63, 0, 20), 3);    // (63 - 3) / 20
    EXPECT_EQ(UciClockBudget(63, 2, -4), 4);    // a negative moves-to-go means the whole game
    EXPECT_EQ(UciClockBudget(300, 5, 1), 270);  // capped: 302 asked, 300 - 30 allowed
}

// A limit-test input with no clock and a previous score.
static TimeLimitInput Input(int elapsed, int maxTime, int score, int previous) {
    TimeLimitInput in{};
    in.elapsedSeconds = elapsed;
    in.maxTime = maxTime;
    in.clockRemaining = 1000;
    in.clockCap = -1;
    in.bestMoveStable = false;
    in.havePrevious = true;
    in.score = score;
    in.previousScore = previous;
    return in;
}

TEST(TimeLimit, PlainBudget) {
    int32_t panic = 0;
    uint32_t remarks = 0;
    EXPECT_FALSE(TimeLimitReached(Input(9, 10, 0, 0), panic, remarks));
    EXPECT_TRUE(TimeLimitReached(Input(10, 10, 0, 0), panic, remarks));
    EXPECT_EQ(panic, 0);
    EXPECT_EQ(remarks, 0u);
    EXPECT_TRUE(TimeLimitReached(Input(0, 0, 0, 0), panic, remarks));   // 0 s: first check
    EXPECT_TRUE(TimeLimitReached(Input(0, -3, 0, 0), panic, remarks));  // negative likewise
}

TEST(TimeLimit, StableBestMoveStopsAtHalfTime) {
    int32_t panic = 0;
    uint32_t remarks = 0;
    TimeLimitInput in = Input(4, 10, 0, 0);
    in.bestMoveStable = true;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    in.elapsedSeconds = 5;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    // With a score drop the stable move gets half as long again.
    in.score = -600;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 15);
    EXPECT_EQ(remarks, uint32_t(RemarkTrouble));
    in.elapsedSeconds = 15;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    // Short clock: no extension beyond maxTime.
    panic = 0;
    in.elapsedSeconds = 5;
    in.clockRemaining = 20;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 10);
    EXPECT_EQ(remarks, uint32_t(RemarkTrouble | RemarkReducedPanic));
}

TEST(TimeLimit, PanicTime) {
    int32_t panic = 0;
    uint32_t remarks = 0;
    EXPECT_FALSE(TimeLimitReached(Input(10, 10, -600, 0), panic, remarks));
    EXPECT_EQ(panic, 30);
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
    int32_t panic = 0;
    uint32_t remarks = 0;
    TimeLimitInput in = Input(10, 10, -600, 0);
    in.clockRemaining = 40;  // 4 x maxTime reaches the clock: 1.5 x
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 15);
    EXPECT_EQ(remarks, uint32_t(RemarkTrouble | RemarkReducedPanic));
    panic = 0;
    in.clockRemaining = 20;  // 2 x maxTime reaches it: 1 x
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 10);
    // A clock budget caps any panic time: 3 x 10 asked, 12 allowed.
    panic = 0;
    in.clockRemaining = 1000;
    in.clockCap = 12;
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 12);
    in.elapsedSeconds = 12;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
}

TEST(TimeLimit, ParanoidTime) {
    int32_t panic = 0;
    uint32_t remarks = 0;
    EXPECT_FALSE(TimeLimitReached(Input(10, 10, 600, 0), panic, remarks));
    EXPECT_EQ(panic, 30);
    EXPECT_EQ(remarks, uint32_t(RemarkLookingGood));
    panic = 0;
    TimeLimitInput in = Input(10, 10, 600, 0);
    in.clockRemaining = 40;
    EXPECT_TRUE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 10);
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
    int32_t panic = 0;
    uint32_t remarks = 0;
    TimeLimitInput in = Input(1000000000, 1000000000, -600, 0);
    in.clockRemaining = INT32_MAX;  // 4 x maxTime reaches it, 2 x does not: 1.5 x
    EXPECT_FALSE(TimeLimitReached(in, panic, remarks));
    EXPECT_EQ(panic, 1500000000);
}
