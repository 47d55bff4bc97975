// Legal-move counts over the positions of a suite ("testgensuite").
#pragma once

#include <cstdio>

struct Engine;

// Counts the legal moves of every suite position ("srch" records and EPD lines with "bm" or
// "am"), writes each count to the result file and the grand total to both outputs.
void CountSuiteNodes(FILE* suite, FILE* results, Engine& e);
