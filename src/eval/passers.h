// Bonus for pawns on the sixth and seventh rank that are about to promote.
#pragma once

struct Engine;

// Sets the side's passer bonus (whitePasserBonus or blackPasserBonus, both >= 0 for a good
// pawn; Evaluate subtracts Black's). side: WhiteSide/BlackSide.
void EvaluatePassers(Engine& e, int side);
