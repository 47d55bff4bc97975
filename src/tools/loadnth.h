// Loading one position of a suite file by its number ("loadnth").
#pragma once

#include <cstdio>

struct Engine;

// Sets up position n (1-based) of a suite: the n-th "svfe" record or EPD line with "bm"
// or "am". Prints the solution when the file gives one. Returns 1 when the position was
// loaded, 0 otherwise (not found, or refused by the set-up).
int LoadNthPosition(FILE* file, int n, Engine& e);
