// The speed benchmark: a fixed 10-ply search from a fixed position ("bench").
#pragma once

#include <cstdint>

#include "search/driver.h"

struct Engine;

// Runs the benchmark search with its banner, board and thinking lines and prints its speed
// and its node count. Leaves maxTime 900, the book off and thinking output on; the
// benchmark position becomes the game. Returns the node count, the engine's functional
// fingerprint. search is IterativeDeepening, or what a harness puts in its place.
int64_t RunBenchmark(Engine& e, SearchFunction search);
