// The Modern node search: principal-variation search with late-move reductions, null-move
// and futility pruning over the shared board, evaluation, table and ordering.
#pragma once

struct Engine;

// Fail-soft score of the current position searched depth plies deep with the window
// (alpha, beta); depth 0 or less is the quiescence search. cutNode marks a node expected to
// fail high (a null-window child of a PV or all node's later move).
int ModernSearch(Engine& e, int alpha, int beta, int depth, bool cutNode);

// One iteration of the Modern search at searchDepth: an aspiration window around lastScore
// that widens step by step, the first root move with the window and the others with a null
// window first; leaves the best move at index 0 of the root list and reports as the classic
// root loop does.
void ModernSearchRoot(Engine& e);

// True when a search on a clock has used enough of its budget that the Modern search starts
// no further iteration: half of it, unless the score fell from previousScore.
bool ModernIterationsEnough(const Engine& e, int previousScore);
