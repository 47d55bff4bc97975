// The shell's seams: the searches the shell and its tools run, the sizing of the table and
// the end of the process go through them, so that a harness running the shell in its own
// process (the command fuzzer) can bound the one and survive the other.
#include <gtest/gtest.h>

#include "shell/commands.h"
#include "shell/inputring.h"
#include "shell/playgame.h"
#include "support.h"

// What the stand-ins saw.
static int searches = 0;
static int searchDepth = 0;
static int hashAsked = 0;

// Thrown by the stand-in for the end of the process.
struct ProcessEnded {
    int status;
};

static Move CountingSearch(Engine& e) {
    searches++;
    searchDepth = e.search.searchDepth;
    return 0;
}

static int RecordingHashSize(Engine& e, int megabytes) {
    hashAsked = megabytes;
    return SetHashSize(e, 1);
}

[[noreturn]] static void ThrowingEnd(int status) {
    throw ProcessEnded{status};
}

// A test Engine whose seams are the stand-ins above.
static std::unique_ptr<Engine> EngineWithStandIns() {
    searches = searchDepth = hashAsked = 0;
    auto e = NewTestEngine();
    e->shell.seams.search = CountingSearch;
    e->shell.seams.setHashSize = RecordingHashSize;
    e->shell.seams.endProcess = ThrowingEnd;
    return e;
}

TEST(ShellSeams, SearchesOfTheShellAndTheBenchmarkGoThroughTheSearchSeam) {
    auto e = EngineWithStandIns();
    EXPECT_EQ(ShellSearch(*e), 0u);
    EXPECT_EQ(searches, 1);
    testing::internal::CaptureStdout();
    EXPECT_TRUE(InterpretCommand(*e, "bench"));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(searches, 2);
    EXPECT_EQ(searchDepth, 10);
    EXPECT_NE(out.find("Benchmark nodes: "), std::string::npos) << out;
}

TEST(ShellSeams, HashCommandSizesTheTableThroughItsSeam) {
    auto e = EngineWithStandIns();
    PutToken("7");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(InterpretCommand(*e, "hash"));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(hashAsked, 7);
    // The stand-in granted 1 MB of the 7 asked for, and the command says so.
    EXPECT_NE(out.find("Hash table of 7 MB cannot be allocated, using 1 MB\n"),
              std::string::npos) << out;
}

TEST(ShellSeams, QuitEndsTheProcessThroughItsSeamWithStatusZero) {
    auto e = EngineWithStandIns();
    int status = -1;
    testing::internal::CaptureStdout();
    try {
        InterpretCommand(*e, "quit");
    } catch (const ProcessEnded& ended) {
        status = ended.status;
    }
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, 0);
}
