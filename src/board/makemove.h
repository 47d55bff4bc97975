// Making and taking back moves with every derived field kept incrementally.
#pragma once

#include "board/types.h"

struct Position;

// Plays a move of the current list on the Position, pushes a PlyRecord that remembers how
// to take it back, and generates the legal moves of the new position. The room for the
// record and its list must have been checked (HasRoomForPly).
void MakeMove(Position& p, Move m);

// Takes back the move of the current PlyRecord (never record 0). The attack maps, pins,
// mobilityBalance and checkCount keep describing the position the move led to.
void UnmakeMove(Position& p);
