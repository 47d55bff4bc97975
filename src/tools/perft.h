// Counting the leaves of the legal-move tree ("testgen").
#pragma once

#include <cstdint>

struct Engine;

// Deepest count "testgen" accepts; far beyond what finishes, well within the ply stack.
constexpr int MaxPerftDepth = 30;

// Counts the leaves to the given depth (at least 1) from the current position, whose move
// list must be generated. Leaves nodeCount (the moves made plus the leaves counted) and the
// search's start time and elapsed whole seconds set for the report.
int64_t CountNodes(Engine& e, int depth);

// The recursive count: positions drawn by rule (two repetitions) are not expanded.
int64_t Perft(Engine& e, int depth);

// Counts the leaves to depth and prints the four report lines of "testgen"; a depth outside
// 1..MaxPerftDepth is refused with a message.
void RunTestgen(Engine& e, int depth);
