// King safety: attackers near the king, pawn cover, queens close by and castling readiness.
#pragma once

#include "eval/evaldata.h"

struct Engine;

// Adds the side's king-safety points and danger count into the Engine's scratch fields
// (whiteKingSafety/whiteKingDanger or blackKingSafety/blackKingDanger). side: WhiteSide/BlackSide.
void EvaluateKingSafety(Engine& e, int side, const PawnHashEntry& entry);
