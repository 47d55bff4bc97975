// Knight placement: outposts, knights on the rim, knights against spread pawns. Each
// returns its White-relative contribution.
#pragma once

#include "board/position.h"
#include "eval/evaldata.h"

// White knights on outposts, and White knights on the rim with their retreats cut off.
int WhiteKnights(const Position& p);

// Black knights on outposts and on the rim, the mirror of WhiteKnights.
int BlackKnights(const Position& p);

// The side with more knights suffers when the pawns spread over the board.
int KnightsAndSpread(const Position& p, const PawnHashEntry& entry);
