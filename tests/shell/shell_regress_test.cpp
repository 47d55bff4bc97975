// Regression tests for inputs the command-interpreter fuzzer found: the real binary on a
// scripted standard input, each run bounded so that a hang fails instead of stalling.
#include <gtest/gtest.h>

#include "enginerun.h"

// Longest a scripted session may take; the scripts below need well under a second.
static constexpr int SessionLimitSeconds = 30;

// Runs the engine in a fresh scratch folder on input, stopped after SessionLimitSeconds.
static std::string RunBounded(const std::string& input, int* status) {
    ScratchDir dir;
    WriteWholeFile(dir.File("input.txt"), input);
    return RunCommand("cd '" + dir.path + "' && cp '" + EngineBinary() +
                          "' mosskite && timeout " + std::to_string(SessionLimitSeconds) +
                          " ./mosskite < input.txt",
                      status);
}

// Input that closes in the middle of edit mode: every further token is "quit", which no
// edit word is, so the program ends instead of waiting for "." forever.
TEST(ShellRegress, InputClosedDuringEditEndsTheProgram) {
    for (const char* input : {"xboard\nedit\n#\nKe1\n", "edit\n", "xboard\nedit\nquit\n.\n"}) {
        int status = -1;
        RunBounded(input, &status);
        EXPECT_EQ(status, 0) << input;
    }
}
