// Fractional search extensions, in eighths of a ply.
#pragma once

#include "board/types.h"

struct Engine;

// Eighths of a ply in one whole ply of extension.
constexpr int OnePly = 8;

// Extension of a move of the current position before it is made: a recapture or a single
// reply (6), an advancing passed pawn or a pawn trapping a bishop (8), else 0. Sets or clears
// the next PlyRecord's recaptureExtended.
int ComputeExtension(Engine& e, const MoveListEntry& move);

// Extension of a checking move, looked at in the position after it: a full ply, unless a
// lone checker hangs where it is and gives away at least a minor piece.
int CheckExtension(Engine& e);
