// Rook placement: connected rooks, open files, rooks behind own pawns, the seventh rank.
// Each returns its White-relative contribution.
#pragma once

#include "board/position.h"
#include "eval/evaldata.h"

struct Engine;

// The first rook of a side with two or more is defended by a rook along a line.
int ConnectedRooks(const Position& p);

// Rooks on open files ("Rooks on Files") and rooks hemmed in by their own pawns; rooks on or
// beside the enemy king's file also add to the enemy king's safety fields.
int RooksOnFiles(Engine& e, const PawnHashEntry& entry);

// Rooks on the seventh rank ("Rooks on 7th"), more with the enemy king shut on the eighth.
int RooksOnSeventh(const Position& p);
