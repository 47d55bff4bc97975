// Running an EPD test suite: a search per position, verdicts and the result file.
#pragma once

#include <cstdio>

struct Engine;

// Runs every position of an open suite with the current search limits on this thread,
// appends the report to the open result file, notes each search in the log (when not
// nullptr) and prints the verdicts and the summary. The files stay open.
void RunTestSuite(const char* suiteName, FILE* suite, FILE* results, FILE* log, Engine& e);
