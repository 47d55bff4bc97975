// Helper search threads: lazy parallel search. Each helper searches the main engine's root
// on an Engine of its own (position, ply stack, move lists, killers, history, pawn hash and
// statistics) and shares only the transposition table; the main search thread alone decides
// when to stop, reports and plays the move.
#pragma once

#include <cstdint>

#include "search/searchdata.h"

struct Engine;

// Most search threads a "Threads" setting may ask for.
constexpr int MaxSearchThreads = 64;

// Search threads the machine can usefully run: its hardware threads, 1..MaxSearchThreads.
int HardwareThreads();

// Sets the number of search threads, clamped to 1..MaxSearchThreads: the main search thread
// and count - 1 helpers, whose threads and engines are made here, never during a search.
// Must not be called while a search runs.
void SetSearchThreads(Engine& e, int count);

// The number of search threads, 1 when there are no helpers.
int SearchThreadCount(const Engine& e);

// Starts every helper on a copy of the main engine's current position (the root of the
// search about to run) and the main engine's table.
void StartHelpers(Engine& e);

// Stops the helpers, waits until every one is idle again, and adds their nodes and
// statistics to the main engine's.
void StopHelpers(Engine& e);

// A helper's poll: adds its nodes since the last one to the count of all threads; true when
// the main engine has stopped the search, or the node limit is reached over all threads
// (the helper then idles until the main engine's own poll stops the search).
bool HelperMustStop(Engine& h);

// The depth a helper searches after depth: one more, and at least its lead beyond the
// iteration the main thread is running, so that the helper fills the table ahead of it.
int HelperNextDepth(const Engine& h, int depth);

// The main engine's poll: publishes its nodes for the helpers' check of the node limit.
void PublishNodes(Engine& e);

// The main engine starts an iteration at depth: helpers that are not beyond it move on.
void NoteMainDepth(Engine& e, int depth);

// The nodes the helpers have counted so far in the running search (any thread may ask).
int64_t HelperNodes(const Engine& e);

// After StopHelpers: the helper that completed the deepest iteration beyond depth, with its
// line in pvLines[0]; nullptr when none went beyond depth.
const Engine* DeepestHelper(const Engine& e, int depth);

// The main engine's nodes in the running search with what the helpers have counted so far;
// on the main search thread only.
int64_t SearchNodes(const Engine& e);

// Empties the helpers' pawn hashes, killers and histories, as a new game does the main
// engine's (the table is shared).
void ClearHelperTables(Engine& e);
