// The endgame branch of Evaluate, taken while White's material is low.
#pragma once

#include "eval/evaldata.h"

struct Engine;

// White material below this takes the endgame branch.
constexpr int EndgameMaterial = 13001;

// Adds the endgame terms to the White-relative score s and applies the scaling of known
// material configurations. Returns true when s is settled and Evaluate returns it at once.
bool EvaluateEndgame(Engine& e, int& s, const PawnHashEntry& entry);
