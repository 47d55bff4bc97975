// Endings with a single minor piece on one side, and rook against a minor piece.
#pragma once

#include "eval/evaldata.h"

struct Engine;

// Adjusts the White-relative score when a side has exactly one minor piece as material;
// sets final when the score is settled and Evaluate must return it at once.
void MinorEndgame(Engine& e, int& score, bool& final, const PawnHashEntry& entry);
