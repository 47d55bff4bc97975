// The xboard clock and level words set the limits; a new game restores what "sd" changed.
#include <gtest/gtest.h>

#include "shell/commands.h"
#include "shell/inputring.h"
#include "shell/newgame.h"
#include "support.h"

// Queues the arguments and runs a command as the main loop would.
static void RunWithArgs(Engine& e, const char* command, std::initializer_list<const char*> args) {
    for (const char* a : args)
        PutToken(a);
    ASSERT_TRUE(InterpretCommand(e, command)) << command;
}

// An Engine under xboard past the early game, so budgets are not varied by chance.
static std::unique_ptr<Engine> XboardEngine() {
    auto e = NewTestEngine();
    e->shell.xboardMode = 1;
    e->shell.consoleMode = 0;
    e->shell.time.totalThinkingMs = 100000;
    return e;
}

// Budgets keep back the move overhead (30 ms unless changed).
TEST(TimeCommands, Level) {
    auto e = XboardEngine();
    RunWithArgs(*e, "level", {"40", "5", "0"});
    EXPECT_EQ(e->search.maxTime.load(), 7425 - 30);
    EXPECT_EQ(e->shell.time.movesPerSession, 40);
    EXPECT_EQ(e->shell.time.baseMs, 300000);
    RunWithArgs(*e, "level", {"0", "2", "12"});
    EXPECT_EQ(e->search.maxTime.load(), 16500 - 30);
    EXPECT_EQ(e->shell.time.incrementMs, 12000);
    RunWithArgs(*e, "level", {"0", "0:10", "0.1"});
    EXPECT_EQ(e->shell.time.baseMs, 10000);
    EXPECT_EQ(e->shell.time.incrementMs, 100);
    RunWithArgs(*e, "level", {"40", "5", "2.5"});
    EXPECT_EQ(e->shell.time.incrementMs, 2500);
    EXPECT_EQ(e->search.maxTime.load(), 7425 + 2500 - 30);
    RunWithArgs(*e, "level", {"-5", "x", "0"});
    EXPECT_EQ(e->shell.time.movesPerSession, 0);
    EXPECT_EQ(e->shell.time.baseMs, 0);
    EXPECT_EQ(e->search.panicCeiling.load(), -1);
}

TEST(TimeCommands, ClockBudgets) {
    auto e = XboardEngine();
    RunWithArgs(*e, "level", {"0", "1", "0"});
    RunWithArgs(*e, "time", {"3000"});
    EXPECT_EQ(e->search.maxTime.load(), 1500 - 30);  // (30 s + 15 s) / 30
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->search.clockRemaining.load(), 10000);
    EXPECT_EQ(e->search.maxTime.load(), 166 - 30);  // a short clock: 10 s / 60
    EXPECT_EQ(e->search.panicCeiling.load(), 9000 - 30);
    // Ten seconds and a tenth: the short clock plays on a thirtieth of the clock.
    RunWithArgs(*e, "level", {"0", "0:10", "0.1"});
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 333 - 30);
    RunWithArgs(*e, "level", {"0", "1", "2"});
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 1000 - 30);
    // One minute + 30 s with 10 s left: 29 s by the rule, capped at 9 s by the clock.
    RunWithArgs(*e, "level", {"0", "1", "30"});
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 9000 - 30);
    RunWithArgs(*e, "otim", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 9000 - 30);
    // A clock of a second or less leaves nothing: the move comes at the first check.
    RunWithArgs(*e, "time", {"100"});
    EXPECT_EQ(e->search.maxTime.load(), 0);
    EXPECT_EQ(e->search.panicCeiling.load(), 0);
    // A new game forgets the increment.
    NewGame(*e);
    EXPECT_EQ(e->shell.time.incrementMs, 0);
}

TEST(TimeCommands, MovesToGoWrapAtTheNextPeriod) {
    auto e = XboardEngine();
    RunWithArgs(*e, "level", {"40", "5", "0"});
    // Move 41 (ply 81): a new period of 40 moves; the clock has not been credited yet.
    e->shell.plyNumber = 81;
    RunWithArgs(*e, "time", {"2000"});
    EXPECT_EQ(e->search.maxTime.load(), (320000 - 3000) / 40 - 30);
    // Move 40 (ply 79): the last move of the period has the whole clock less the reserve.
    e->shell.plyNumber = 79;
    RunWithArgs(*e, "time", {"2000"});
    EXPECT_EQ(e->search.maxTime.load(), 17000 - 30);
}

TEST(TimeCommands, EarlyGameVariesTheBudget) {
    auto e = XboardEngine();
    e->shell.time.totalThinkingMs = 0;
    RunWithArgs(*e, "level", {"0", "10", "0"});
    RunWithArgs(*e, "time", {"60000"});
    // (600 s + 15 s) / 30 = 20.5 s, half as long again, and up to 10.25 s more by chance.
    EXPECT_GE(e->search.maxTime.load(), 30750 - 30);
    EXPECT_LT(e->search.maxTime.load(), 41000 - 30);
}

TEST(TimeCommands, MoveOverheadIsKept) {
    auto e = XboardEngine();
    e->shell.time.moveOverheadMs = 500;
    RunWithArgs(*e, "level", {"0", "1", "2"});
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 500);
    e->shell.time.moveOverheadMs = 0;
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 1000);
}

TEST(TimeCommands, FixedDepthAndTime) {
    auto e = XboardEngine();
    RunWithArgs(*e, "sd", {"7"});
    EXPECT_EQ(e->search.searchDepth, 7);
    EXPECT_EQ(e->search.maxTime.load(), 1000000);
    RunWithArgs(*e, "sd", {"999"});
    EXPECT_EQ(e->search.searchDepth, 60);
    NewGame(*e);
    EXPECT_EQ(e->search.searchDepth, 30);
    EXPECT_EQ(e->search.maxTime.load(), 10000);
    RunWithArgs(*e, "sd", {"4"});
    RunWithArgs(*e, "st", {"5"});
    EXPECT_EQ(e->search.maxTime.load(), 4500);  // a tenth kept back
    EXPECT_EQ(e->search.searchDepth, 30);
    RunWithArgs(*e, "time", {"100000"});
    EXPECT_EQ(e->search.clockRemaining.load(), 1000000);
}
