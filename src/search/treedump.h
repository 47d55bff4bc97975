// The search-tree dump: a text trace of the search for debugging.
#pragma once

#include <cstdio>

#include "board/types.h"

struct Engine;

// Starts writing the dump to file (opened and closed by the shell, which finds the open
// file in treeDumpFile).
void StartTreeDump(Engine& e, FILE* file);

// Stops writing and forgets the file, which stays open for its owner to close.
void StopTreeDump(Engine& e);

// Writes a root move at ply, starting a new indented line unless it continues the last one.
void TreeDumpMove(Engine& e, Move move, int ply);

// Writes a cut marker on a new line indented for ply.
void TreeDumpCut(Engine& e, int ply);

// Writes formatted text to the dump when it is on.
void TreeDumpText(Engine& e, const char* format, ...) __attribute__((format(printf, 2, 3)));
