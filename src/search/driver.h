// The search driver: iterative deepening and the root move loop.
#pragma once

#include "board/types.h"

struct Engine;

// A search that chooses the move to play in the current position, as IterativeDeepening
// does: from-square 0 for none.
using SearchFunction = Move (*)(Engine& e);

// Chooses the move to play in the current position, deepening from 1 to searchDepth (clamped
// to 1..60) until the depth is reached or the search is stopped. A move with from-square 0
// means there is no legal move. The best move found so far is returned when stopped.
Move IterativeDeepening(Engine& e);

// One iteration at searchDepth with an aspiration window around lastScore (or the full
// window); leaves the best move at index 0 of the root list.
void SearchRoot(Engine& e, bool useAspiration);

// The search of a helper thread on its own engine, set up on the main engine's root: the
// same iterations, each at least the helper's lead beyond the main thread's, reporting
// nothing, until the main engine stops it (or the deepest depth setting is done).
void HelperSearch(Engine& e);

// One iteration at searchDepth that finds the best multiPv root moves, each with the full
// window among the moves not yet chosen, leaves them at the front of the root list in order
// of score with their lines in pvLines, and reports one line each.
void SearchRootLines(Engine& e);

// The move to ponder on: the table's choice for the position, else a one-ply search.
Move PredictMove(Engine& e);

// Searches the current position one ply deep on this thread, keeping the depth setting:
// the move to play when no other search produced one.
Move SearchOnePly(Engine& e);
