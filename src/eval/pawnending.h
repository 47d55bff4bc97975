// King and pawn endings: rammed pawn pairs, unstoppable pawns, opposition and races.
#pragma once

struct Engine;

// Adjusts the White-relative score of a position with kings and pawns only.
void PawnEndgame(Engine& e, int& score);
