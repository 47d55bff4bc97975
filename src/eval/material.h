// Material terms and the king placement that follows from the material left.
#pragma once

#include "board/position.h"

// Returns s after the trade-down bonus: the side ahead gains as the other side's pieces go.
int TradeDown(const Position& p, int s);

// Bonus (White-relative) for having more pieces than the opponent.
int PieceCountEdge(const Position& p);

// White king placement (White-relative): to the edge while Black is strong, to the centre
// as Black's material falls, toward the centre when the king is bare.
int WhiteKingPlacement(const Position& p);

// Black king placement (White-relative), the mirror of WhiteKingPlacement.
int BlackKingPlacement(const Position& p);
