// Piece placement patterns that are not rook or knight specific. Each returns its
// White-relative contribution.
#pragma once

#include "board/position.h"
#include "eval/evaldata.h"

// Two bishops against fewer; worth more while the centre is open.
int BishopPair(const Position& p, const PawnHashEntry& entry);

// Bishops and knights shut in on a7/h7 (a2/h2) by enemy pawns.
int TrappedMinors(const Position& p);

// Knight in front of the c-pawn with the e-pawn held back; fianchetto bishops.
int OpeningPatterns(const Position& p);

// Centre pawns on their home squares blocked by a piece in front of them.
int BlockedCentrePawns(const Position& p);
