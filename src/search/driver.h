// The search driver: iterative deepening, the root move loop and the thinking output.
#pragma once

#include "board/types.h"

struct Engine;
struct PlyRecord;

// Chooses the move to play in the current position, deepening from 1 to searchDepth (clamped
// to 1..60) until the depth is reached or the search is stopped. A move with from-square 0
// means there is no legal move. The best move found so far is returned when stopped.
Move IterativeDeepening(Engine& e);

// One iteration at searchDepth with an aspiration window around lastScore (or the full
// window); leaves the best move at index 0 of the root list.
void SearchRoot(Engine& e, bool useAspiration);

// The move to ponder on: the table's choice for the position, else a one-ply search.
Move PredictMove(Engine& e);

// One thinking line: depth, score / 10, centiseconds, nodes and the PV.
const char* FormatThinkingLine(Engine& e, int depth, int score);

// The root score a search left in the record, when that search started from this very
// position (not from an earlier game's or another set-up's record).
bool RootScoreOf(const Engine& e, const PlyRecord* record, int& score);
