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
    e->shell.time.totalThinkingSeconds = 100;
    return e;
}

TEST(TimeCommands, Level) {
    auto e = XboardEngine();
    RunWithArgs(*e, "level", {"40", "5", "0"});
    EXPECT_EQ(e->search.maxTime.load(), 7);
    EXPECT_EQ(e->shell.time.movesPerSession, 40);
    EXPECT_EQ(e->shell.time.baseSeconds, 300);
    RunWithArgs(*e, "level", {"0", "2", "12"});
    EXPECT_EQ(e->search.maxTime.load(), 16);
    EXPECT_EQ(e->shell.time.incrementSeconds, 12);
    RunWithArgs(*e, "level", {"0", "0:30", "0"});
    EXPECT_EQ(e->shell.time.baseSeconds, 30);
    EXPECT_EQ(e->search.maxTime.load(), 1);
    RunWithArgs(*e, "level", {"-5", "x", "0"});
    EXPECT_EQ(e->shell.time.movesPerSession, 0);
    EXPECT_EQ(e->shell.time.baseSeconds, 0);
    EXPECT_EQ(e->shell.time.budgetFromClock.load(), 0);
}

TEST(TimeCommands, ClockBudgets) {
    auto e = XboardEngine();
    RunWithArgs(*e, "level", {"0", "1", "0"});
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->shell.time.clockRemaining.load(), 10);
    EXPECT_EQ(e->search.maxTime.load(), 0);  // (10 + 15) / 30: moves at the first check
    EXPECT_EQ(e->shell.time.budgetFromClock.load(), 1);
    RunWithArgs(*e, "level", {"0", "1", "2"});
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 1);
    // One minute + 30 s with 10 s left: 29 s by the rule, capped at 9 by the clock.
    RunWithArgs(*e, "level", {"0", "1", "30"});
    RunWithArgs(*e, "time", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 9);
    RunWithArgs(*e, "otim", {"1000"});
    EXPECT_EQ(e->search.maxTime.load(), 9);
    // A new game forgets the increment.
    NewGame(*e);
    EXPECT_EQ(e->shell.time.incrementSeconds, 0);
}

TEST(TimeCommands, EarlyGameVariesTheBudget) {
    auto e = XboardEngine();
    e->shell.time.totalThinkingSeconds = 0;
    RunWithArgs(*e, "level", {"0", "10", "0"});
    RunWithArgs(*e, "time", {"60000"});
    // (600 + 15) / 30 = 20, half as long again, and up to 9 s more by chance.
    EXPECT_GE(e->search.maxTime.load(), 30);
    EXPECT_LE(e->search.maxTime.load(), 39);
}

TEST(TimeCommands, FixedDepthAndTime) {
    auto e = XboardEngine();
    RunWithArgs(*e, "sd", {"7"});
    EXPECT_EQ(e->search.searchDepth, 7);
    EXPECT_EQ(e->search.maxTime.load(), 1000);
    RunWithArgs(*e, "sd", {"999"});
    EXPECT_EQ(e->search.searchDepth, 60);
    NewGame(*e);
    EXPECT_EQ(e->search.searchDepth, 30);
    EXPECT_EQ(e->search.maxTime.load(), 10);
    RunWithArgs(*e, "sd", {"4"});
    RunWithArgs(*e, "st", {"5"});
    EXPECT_EQ(e->search.maxTime.load(), 5);
    EXPECT_EQ(e->search.searchDepth, 30);
    RunWithArgs(*e, "time", {"100000"});
    EXPECT_EQ(e->shell.time.clockRemaining.load(), 1000);
}
