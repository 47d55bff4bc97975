// Rook against rook: known draws and the drawish scaling of rook endings.
#pragma once

#include "eval/evaldata.h"

struct Engine;

// Adjusts the White-relative score of a rook-against-rook ending; sets final when the
// score is settled and Evaluate must return it at once.
void RookEndgame(Engine& e, int& score, bool& final, const PawnHashEntry& entry);
