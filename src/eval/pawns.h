// Pawn structure: the scores and file maps that depend on the pawns alone.
#pragma once

#include "eval/evaldata.h"

struct Engine;

// Value of a passed pawn by its rank seen from its own side (index 1..8).
inline constexpr int passedPawnValue[9] = {0, 0, 50, 150, 250, 400, 600, 800, 0};

// Fills the scores, file bitmaps, flags and wing measure of an entry from the pawns.
void EvaluatePawns(const Engine& e, PawnHashEntry& entry);
