// The pawn hash: pawn structures cached by pawnKey with a two-slot probe.
#pragma once

#include "eval/evaldata.h"

struct Engine;

// Empties every entry of the pawn hash.
void ClearPawnHash(Engine& e);

// Returns the entry for the position's pawnKey, computing the structure on a miss.
const PawnHashEntry& ProbePawnHash(Engine& e);
