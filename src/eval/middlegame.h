// The middlegame branch of Evaluate, taken while White keeps enough material.
#pragma once

#include "eval/evaldata.h"

struct Engine;

// Adds king safety, the opening patterns, late passers and early queen sorties to the
// White-relative score s.
void EvaluateMiddlegame(Engine& e, int& s, const PawnHashEntry& entry);
