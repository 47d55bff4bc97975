// Whether a move of the current position checks, without making it.
#pragma once

#include "board/types.h"

struct Position;

// True when the move gives check, directly (a promotion as the new piece, castling through the
// rook) or by uncovering a slider of the side to move. The attack maps must be current.
bool GivesCheck(const Position& p, Move m);
