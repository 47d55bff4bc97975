// Running an EPD test suite: a search per position, verdicts and the result file.
#pragma once

#include <cstdio>

#include "search/driver.h"

struct Engine;

// Runs every position of an open suite with the current search limits on this thread,
// appends the report to the open result file, notes each search in the log (when not
// nullptr) and prints the verdicts and the summary. The files stay open. search chooses
// each move: IterativeDeepening, or what a harness puts in its place.
void RunTestSuite(const char* suiteName, FILE* suite, FILE* results, FILE* log, Engine& e,
                  SearchFunction search);
