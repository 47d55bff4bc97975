// Running an EPD test suite: a search per position, verdicts and the result file.
#pragma once

#include <cstdio>

struct Engine;

// Runs every position of an open suite with the current search limits on this thread,
// appends the report to the open result file and prints the verdicts and the summary.
// The files stay open.
void RunTestSuite(const char* suiteName, FILE* suite, FILE* results, Engine& e);

// The "test" command: asks for the suite and result files, runs the suite, closes the files
// and makes the last position the game. Returns true when the console prompt follows.
bool TestCommand(Engine& e);

// The command-line run "-test SUITE RESULTS SECONDS DEPTH": returns the exit status, 1 when
// a file does not open, 0 after the run.
int RunCommandLineTest(Engine& e, const char* suiteName, const char* resultsName,
                       int seconds, int depth);
