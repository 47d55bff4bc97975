// Move time budgets from the time controls and the clock.
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
    EXPECT_EQ(LevelBudget(40, 300000, 0), 7425);        // (300 s - 3 s) / 40
    EXPECT_EQ(LevelBudget(0, 120000, 12000), 16500);    // (120 s + 15 s) / 30 + 12 s
    EXPECT_EQ(LevelBudget(0, 600000, 100), 20600);      // a fractional increment counts
    EXPECT_EQ(LevelBudget(40, 300000, 2500), 9925);
    EXPECT_EQ(LevelBudget(-5, 120000, 12000), 16500);   // negative moves count as the whole game
    EXPECT_EQ(LevelBudget(1, 0, 0), -3000);             // not corrected: stops at the first check
    EXPECT_GT(LevelBudget(0, INT64_MAX, INT64_MAX), 0); // saturates, no overflow
}

TEST(TimeControl, LevelTexts) {
    EXPECT_EQ(LevelBaseMs("5"), 300000);
    EXPECT_EQ(LevelBaseMs("0:30"), 30000);
    EXPECT_EQ(LevelBaseMs("0:10"), 10000);
    EXPECT_EQ(LevelBaseMs("2:05"), 125000);
    EXPECT_EQ(LevelBaseMs("x"), 0);
    EXPECT_EQ(LevelBaseMs(""), 0);
    EXPECT_GT(LevelBaseMs("99999999999999999999"), 0);  // saturates
    EXPECT_EQ(LevelIncrementMs("12"), 12000);
    EXPECT_EQ(LevelIncrementMs("0.1"), 100);
    EXPECT_EQ(LevelIncrementMs("2.5"), 2500);
    EXPECT_EQ(LevelIncrementMs(".25"), 250);
    EXPECT_EQ(LevelIncrementMs("0.0105"), 10);          // below a millisecond is dropped
    EXPECT_EQ(LevelIncrementMs("3."), 3000);
    EXPECT_EQ(LevelIncrementMs("x"), 0);
    EXPECT_EQ(LevelIncrementMs("-1"), 0);
    EXPECT_GT(LevelIncrementMs("99999999999999999999"), 0);
}

TEST(TimeControl, ClockBudgetWholeGame) {
    auto engine = NewTestEngine();
    fakeRandomCalls = 0;
    // Past the early game (more than 2 s thought), no random extension.
    EXPECT_EQ(ClockBudget(15000, 0, 0, 0, 5, 10000, FakeRandomDraw, *engine), 1000);  // (15 s + 15 s) / 30
    EXPECT_EQ(ClockBudget(600000, 0, 0, 0, 5, 10000, FakeRandomDraw, *engine), 20500);
    // Below 15 s without an increment, a sixtieth of the clock and no bonus: 10 s once
    // gave 833 ms a move, so that a game without increment ran out of time in the ending.
    EXPECT_EQ(ClockBudget(14999, 0, 0, 0, 5, 10000, FakeRandomDraw, *engine), 249);
    EXPECT_EQ(ClockBudget(10000, 0, 0, 0, 5, 10000, FakeRandomDraw, *engine), 166);
    EXPECT_EQ(ClockBudget(3000, 0, 0, 0, 5, 10000, FakeRandomDraw, *engine), 50);
    // A short clock with an increment plays on the increment less a second, but never on
    // less than half of it: 10 s left with 1 s gives 0.5 s, with 2 s gives 1 s.
    EXPECT_EQ(ClockBudget(10000, 0, 0, 1000, 5, 10000, FakeRandomDraw, *engine), 500);
    EXPECT_EQ(ClockBudget(10000, 0, 0, 2000, 5, 10000, FakeRandomDraw, *engine), 1000);
    // Nor on less than a thirtieth of the clock: 10 s + 0.1 s spends the clock too.
    EXPECT_EQ(ClockBudget(10000, 0, 0, 100, 5, 10000, FakeRandomDraw, *engine), 333);
    EXPECT_EQ(ClockBudget(14999, 0, 0, 100, 5, 10000, FakeRandomDraw, *engine), 499);
    EXPECT_EQ(ClockBudget(15000, 0, 0, 100, 5, 10000, FakeRandomDraw, *engine), 1100);
    EXPECT_EQ(ClockBudget(1500, 0, 0, 100, 5, 10000, FakeRandomDraw, *engine), 50);
    EXPECT_EQ(fakeRandomCalls, 0);
    EXPECT_EQ(UciClockBudget(60000, 0, 0), 2500);      // (60 s + 15 s) / 30
    EXPECT_EQ(UciClockBudget(10000, 0, 0), 166);       // the short clock without increment
    EXPECT_EQ(UciClockBudget(10000, 1000, 0), 500);    // the short clock, as above
    EXPECT_EQ(UciClockBudget(5000, 2000, 0), 1000);
    EXPECT_EQ(UciClockBudget(63000, 0, 20), 3000);     // (63 s - 3 s) / 20
    EXPECT_EQ(UciClockBudget(63000, 2000, -4), 4600);  // a negative moves-to-go means the whole game
    EXPECT_EQ(UciClockBudget(300000, 5000, 1), 270000);  // capped: 302 s asked, 300 s - 30 s allowed
}

TEST(TimeControl, ClockBudgetIsCappedByTheClock) {
    auto engine = NewTestEngine();
    // One minute + 30 s with 10 s left: the rule says 29 s, the clock allows 9.
    EXPECT_EQ(ClockBudget(10000, 0, 60000, 30000, 41, 100000, FakeRandomDraw, *engine), 9000);
    EXPECT_EQ(UciClockBudget(10000, 30000, 0), 9000);
    // With no increment and a nearly empty clock, the cap decides: a sixtieth of 1.01 s
    // is 16 ms, and one second stays on the clock.
    EXPECT_EQ(ClockBudget(1010, 0, 60000, 0, 41, 100000, FakeRandomDraw, *engine), 10);
    EXPECT_EQ(ClockBudget(1000, 0, 60000, 30000, 41, 100000, FakeRandomDraw, *engine), 0);
    EXPECT_EQ(ClockBudget(0, 0, 60000, 30000, 41, 100000, FakeRandomDraw, *engine), 0);
    EXPECT_EQ(UciClockBudget(INT64_MAX, INT64_MAX, 0), ClockCap(INT64_MAX));
    EXPECT_EQ(ClockCap(10000), 9000);
    EXPECT_EQ(ClockCap(100000), 90000);
    EXPECT_EQ(ClockCap(1500), 500);
    EXPECT_EQ(ClockCap(1000), 0);
    EXPECT_EQ(ClockCap(0), 0);
    EXPECT_EQ(ClockCap(-50000), 0);
    EXPECT_EQ(LessOverhead(500, 30), 470);
    EXPECT_EQ(LessOverhead(20, 30), 0);
    EXPECT_EQ(LessOverhead(500, -30), 500);
    // A fixed time a move keeps back a tenth, at least the overhead.
    EXPECT_EQ(FixedMoveBudget(1000, 30), 900);
    EXPECT_EQ(FixedMoveBudget(10000, 30), 9000);
    EXPECT_EQ(FixedMoveBudget(1000, 200), 800);
    EXPECT_EQ(FixedMoveBudget(0, 30), 0);
}

TEST(TimeControl, ClockBudgetPerPeriod) {
    auto engine = NewTestEngine();
    // 40 moves in 5 minutes, 200 s left at ply 21 (move 11): 30 moves to go.
    EXPECT_EQ(ClockBudget(200000, 40, 300000, 0, 21, 100000, FakeRandomDraw, *engine), 6566);
    // Ply 81 (move 41): 40 to go; the clock shows less than the base, so the base is added.
    EXPECT_EQ(ClockBudget(20000, 40, 300000, 0, 81, 100000, FakeRandomDraw, *engine), 7925);
    EXPECT_EQ(ClockBudget(400000, 40, 300000, 0, 81, 100000, FakeRandomDraw, *engine), 9925);
    // At ply 1 the base is never added.
    EXPECT_EQ(ClockBudget(200000, 40, 300000, 0, 1, 100000, FakeRandomDraw, *engine), 4925);
    // Far into the game the moves to go wrap; a huge ply count does not loop for long.
    EXPECT_EQ(ClockBudget(300000, 1, 300000, 0, 2000001, 100000, FakeRandomDraw, *engine),
              ClockCap(300000));
    EXPECT_EQ(ClockBudget(600000, 40, 300000, 0, 1000001, 100000, FakeRandomDraw, *engine), 14925);
    // A negative moves-per-session counts as the whole game.
    EXPECT_EQ(ClockBudget(600000, -3, 300000, 0, 5, 100000, FakeRandomDraw, *engine), 20500);
}

TEST(TimeControl, EarlyGameRandomExtension) {
    auto engine = NewTestEngine();
    fakeRandomCalls = 0;
    fakeRandomValue = 7;
    // (600 s + 15 s) / 30 = 20.5 s; H = 10.25 s; 20.5 s + 10.25 s + 7 ms.
    EXPECT_EQ(ClockBudget(600000, 0, 600000, 0, 1, 0, FakeRandomDraw, *engine), 30757);
    EXPECT_EQ(fakeRandomCalls, 1);
    // Not with one move per period.
    EXPECT_EQ(ClockBudget(600000, 1, 600000, 0, 1, 0, FakeRandomDraw, *engine), ClockCap(600000));
    EXPECT_EQ(fakeRandomCalls, 1);
    // Up to 2 s of thinking the game is early.
    EXPECT_EQ(ClockBudget(600000, 0, 600000, 1000, 1, 2000, FakeRandomDraw, *engine), 21500 + 10750 + 7);
    EXPECT_EQ(fakeRandomCalls, 2);
    EXPECT_EQ(ClockBudget(600000, 0, 600000, 1000, 1, 2001, FakeRandomDraw, *engine), 21500);
    // H of 0 or below: no extension and no draw (a negative H would read as hours).
    EXPECT_EQ(ClockBudget(0, 0, 0, -10000, 1, 0, FakeRandomDraw, *engine), 0);
    EXPECT_EQ(fakeRandomCalls, 2);
    // The extension is capped by the clock as well.
    fakeRandomValue = 0xFFFFFFFF;
    EXPECT_LE(ClockBudget(40000, 0, 60000, 30000, 1, 0, FakeRandomDraw, *engine), ClockCap(40000));
}
