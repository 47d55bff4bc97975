// The program's pseudo-random numbers: a walk over a stored table of mixed values.
#pragma once

#include <cstdint>

struct Engine;

constexpr int RandomTableSize = 3000;

// The walk's values, fixed for every run.
extern const uint32_t randomTable[RandomTableSize];

// Returns the next value of the walk, starting again at the first entry after the last.
uint32_t NextRandom(Engine& e);

// Draws and drops (seconds modulo 1000) values, so that each run starts elsewhere in the walk.
void AdvanceRandomByTime(Engine& e, int64_t seconds);
